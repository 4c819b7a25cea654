// The undo journal's folder of step files: see journal.h; the text of one
// step file is journal_text.cpp's.
#include "runtime/journal.h"

#include "runtime/journal_text.h"
#include "runtime/os_moves.h"
#include "runtime/replace.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"
#include "runtime/threads.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr std::string_view kSuffix = ".step";
constexpr std::string_view kBroken = ".broken";

// The id in a step file's name "<id>.step"; 0 for any other name.
int64_t id_of_name(std::string_view name) {
    if (name.size() <= kSuffix.size() || !name.ends_with(kSuffix)) return 0;
    name.remove_suffix(kSuffix.size());
    int64_t id = 0;
    const auto r = std::from_chars(name.data(), name.data() + name.size(), id);
    const bool plain = r.ec == std::errc() && r.ptr == name.data() + name.size() && name[0] != '0';
    return plain && id > 0 ? id : 0;
}

// Keeps a damaged file for whoever wants to look at it, out of the journal's way.
void set_aside(RtJournal* j, const std::string& path) {
    if (rt_sys.rename(path.c_str(), (path + std::string(kBroken)).c_str()) == 0) ++j->set_aside;
}

// Reads up to size bytes at offset into out.
bool read_at(int fd, off_t offset, size_t size, std::string* out) {
    out->resize(size);
    if (rt_sys.lseek(fd, offset, SEEK_SET) != offset) return false;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = rt_sys.read(fd, out->data() + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    out->resize(done);
    return true;
}

// The step list entry of a file from its first and last bytes.
bool read_ends(const std::string& path, RtJournalEntry* out) {
    const int fd = rt_sys.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW, 0);
    if (fd < 0) return false;
    struct stat st {};
    std::string head, tail;
    bool ok = rt_sys.fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const size_t size = ok ? static_cast<size_t>(st.st_size) : 0;
    ok = ok && read_at(fd, 0, std::min(size, RtJournalHeadBytes), &head);
    if (ok && size > head.size())
        ok = read_at(fd, static_cast<off_t>(size - std::min(size, RtJournalTailBytes)),
                     RtJournalTailBytes, &tail);
    else
        tail = head.substr(head.size() - std::min(head.size(), RtJournalTailBytes));
    rt_sys.close(fd);
    return ok && rt_journal_parse_ends(head, tail, out);
}

// A whole step file in one read.
bool read_whole(const std::string& path, std::string* out) {
    const int fd = rt_sys.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW, 0);
    if (fd < 0) return false;
    struct stat st {};
    const bool ok =
        rt_sys.fstat(fd, &st) == 0 && read_at(fd, 0, static_cast<size_t>(st.st_size), out);
    const int saved = errno;
    rt_sys.close(fd);
    errno = saved;
    return ok;
}

// Adds every step file of the folder to the list; sets aside the damaged.
void read_folder(RtJournal* j) {
    DIR* dir = rt_sys.opendir(j->folder.c_str());
    if (!dir) return;
    std::vector<std::string> damaged;
    while (const dirent* e = rt_sys.readdir(dir)) {
        const int64_t id = id_of_name(e->d_name);
        if (id == 0) continue;
        const std::string path = j->folder + e->d_name;
        RtJournalEntry entry;
        if (read_ends(path, &entry) && entry.id == id)
            j->steps.push_back(std::move(entry));
        else
            damaged.push_back(path);
    }
    rt_sys.closedir(dir);
    for (const std::string& path : damaged) set_aside(j, path);
    std::sort(j->steps.begin(), j->steps.end(),
              [](const RtJournalEntry& a, const RtJournalEntry& b) { return a.id < b.id; });
    if (!j->steps.empty()) j->next_id = j->steps.back().id + 1;
}

bool write_step(RtJournal* j, const RtJournalStep& step, int flags) {
    const std::string path = rt_journal_file(*j, step.id);
    const std::string bytes = rt_journal_format(step);
    if (rt_replace_file(path, bytes, flags)) return true;
    if (errno != ENOENT || !rt_os_make_folders(j->folder, 0777)) return false;
    return rt_replace_file(path, bytes, flags);
}

std::vector<RtJournalEntry>::iterator find_step(RtJournal* j, int64_t id) {
    return std::find_if(j->steps.begin(), j->steps.end(),
                        [id](const RtJournalEntry& e) { return e.id == id; });
}

void take_over(RtJournalEntry* entry, const RtJournalStep& step) {
    entry->kind = step.kind;
    entry->state = step.state;
    entry->text = step.text;
    entry->item_count = static_cast<int64_t>(step.items.size());
    if (step.state != RtStepBegun) entry->running = false;
}

// The oldest steps beyond the number kept, except those a job still works on.
void drop_oldest(RtJournal* j) {
    auto it = j->steps.begin();
    while (j->steps.size() > RtJournalKeep && it != j->steps.end()) {
        if (it->running) {
            ++it;
            continue;
        }
        j->unwritten.erase(it->id);
        rt_sys.unlink(rt_journal_file(*j, it->id).c_str());
        it = j->steps.erase(it);
    }
}

// Writes the step given to rt_journal_update_later, if it is still waiting.
// Under the lock.
void write_unwritten(RtJournal* j, int64_t id) {
    const auto it = j->unwritten.find(id);
    if (it == j->unwritten.end()) return;
    const RtJournalStep step = std::move(it->second);
    j->unwritten.erase(it);
    write_step(j, step, 0);
}

void write_later(intptr_t parameter) {
    auto* j = reinterpret_cast<RtJournal*>(parameter);
    std::lock_guard<std::mutex> hold(j->lock);
    while (!j->unwritten.empty()) write_unwritten(j, j->unwritten.begin()->first);
    --j->writers;
    j->written.notify_all();
}

} // namespace

std::string rt_journal_file(const RtJournal& journal, int64_t id) {
    return journal.folder + std::to_string(id) + std::string(kSuffix);
}

void rt_journal_open(RtJournal* j, const std::wstring& folder) {
    std::lock_guard<std::mutex> hold(j->lock);
    while (!j->unwritten.empty()) write_unwritten(j, j->unwritten.begin()->first);
    j->folder = rt_text_to_os(folder);
    if (j->folder.empty() || j->folder.back() != '/') j->folder += '/';
    j->steps.clear();
    j->next_id = 1;
    j->set_aside = 0;
    struct stat st {};
    const std::string bare = j->folder.substr(0, j->folder.size() - 1);
    if (rt_sys.lstat(bare.c_str(), &st) != 0) return;
    if (!S_ISDIR(st.st_mode)) {
        set_aside(j, bare); // not ours: the first write makes the folder
        return;
    }
    rt_replace_remove_stale(j->folder + "x");
    read_folder(j);
}

bool rt_journal_begin(RtJournal* j, RtJournalStep* step) {
    std::lock_guard<std::mutex> hold(j->lock);
    step->state = RtStepBegun;
    if (!rt_journal_valid(*step)) {
        errno = EINVAL;
        return false;
    }
    step->id = j->next_id++;
    RtJournalEntry entry;
    entry.id = step->id;
    entry.running = true;
    take_over(&entry, *step);
    j->steps.push_back(std::move(entry));
    const bool written = write_step(j, *step, RtReplaceSync);
    const int saved = errno;
    j->steps.back().flushed = written;
    drop_oldest(j);
    errno = saved;
    return written;
}

bool rt_journal_update(RtJournal* j, const RtJournalStep& step) {
    std::lock_guard<std::mutex> hold(j->lock);
    j->unwritten.erase(step.id); // this state replaces it
    const auto it = find_step(j, step.id);
    if (it == j->steps.end()) {
        errno = ENOENT;
        return false;
    }
    if (!rt_journal_valid(step)) {
        errno = EINVAL;
        return false;
    }
    // The begun record on disk already lets the undo find every item, so
    // what a running job writes after it (the items done so far, and its
    // end) need not wait for the disk again: a kill leaves those writes in
    // the page cache, and a power cut leaves the begun record. Undo and redo
    // wait for the disk.
    const bool job_write = it->running && it->flushed && step.state != RtStepUndone;
    take_over(&*it, step);
    const bool written = write_step(j, step, job_write ? 0 : RtReplaceSync);
    it->flushed = it->flushed || written;
    return written;
}

bool rt_journal_update_later(RtJournal* j, RtJournalStep step) {
    std::unique_lock<std::mutex> hold(j->lock);
    const auto it = find_step(j, step.id);
    if (it == j->steps.end()) {
        errno = ENOENT;
        return false;
    }
    if (!rt_journal_valid(step) || step.state == RtStepBegun) {
        errno = EINVAL;
        return false;
    }
    take_over(&*it, step);
    const int64_t id = step.id;
    j->unwritten[id] = std::move(step);
    ++j->writers;
    hold.unlock();
    if (rt_thread_create(write_later, reinterpret_cast<intptr_t>(j))) return true;
    hold.lock(); // no thread: written here
    --j->writers;
    write_unwritten(j, id);
    return true;
}

void rt_journal_flush(RtJournal* j) {
    std::unique_lock<std::mutex> hold(j->lock);
    while (!j->unwritten.empty()) write_unwritten(j, j->unwritten.begin()->first);
    j->written.wait(hold, [j] { return j->writers == 0; });
}

bool rt_journal_read(RtJournal* j, int64_t id, RtJournalStep* out) {
    std::lock_guard<std::mutex> hold(j->lock);
    write_unwritten(j, id);
    const auto it = find_step(j, id);
    if (it == j->steps.end()) return false;
    const std::string path = rt_journal_file(*j, id);
    std::string bytes;
    if (!read_whole(path, &bytes)) {
        if (errno == ENOENT) j->steps.erase(it);
        return false;
    }
    if (rt_journal_parse(bytes, out) && out->id == id) return true;
    set_aside(j, path);
    j->steps.erase(it);
    errno = EINVAL;
    return false;
}

bool rt_journal_drop(RtJournal* j, int64_t id) {
    std::lock_guard<std::mutex> hold(j->lock);
    j->unwritten.erase(id);
    const auto it = find_step(j, id);
    if (it == j->steps.end()) return false;
    rt_sys.unlink(rt_journal_file(*j, id).c_str());
    j->steps.erase(it);
    return true;
}

std::vector<RtJournalEntry> rt_journal_list(RtJournal* j) {
    std::lock_guard<std::mutex> hold(j->lock);
    return j->steps;
}
