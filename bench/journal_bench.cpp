// What the undo journal costs a move: 10,000 files moved within one file
// system by renames, with the journal against without it.
//   journal_store  the move with its step written before (begun, every item
//                  with its identity) and after (done) / the same move without
// F6 looks at every selected entry once before the job starts (whether it is
// a folder); with the journal that one look takes the entry's identity
// instead, so both sides look once per file and the difference is what the
// journal adds: the identities kept, two step files written and flushed.
// Each round times both sides back to back, in turns first, on the same
// files; the ratio is the median of the rounds' own ratios, since this
// machine's disk changes speed from one second to the next.
// Prints "BENCH journal_store ratio=... target=1.1"; details go to stderr.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "runtime/identity.h"
#include "runtime/journal.h"
#include "runtime/text.h"

namespace {

constexpr int kFiles = 10000;
constexpr int kRounds = 11;
constexpr double kTarget = 1.1;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Folders {
    std::wstring from, to; // both end in "/"
    std::vector<std::wstring> names;
};

void MakeFiles(const std::string& folder, Folders* f) {
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "Datei " + std::to_string(i) + ".txt";
        const int fd = open((folder + "/" + name).c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0) close(fd);
        f->names.push_back(rt_text_from_os(name));
    }
}

// The move as the job makes it: one look at each entry, then one rename each.
double MovePlain(const Folders& f) {
    const auto t = std::chrono::steady_clock::now();
    int folders = 0;
    for (const std::wstring& name : f.names) folders += rt_path_kind(f.from + name) == PathFolder;
    for (const std::wstring& name : f.names) rt_file_rename(f.from + name, f.to + name);
    const double s = Seconds(t);
    if (folders != 0) std::fprintf(stderr, "unexpected folders\n");
    return s;
}

// The same with the journal: the look takes the identity, the step is
// written before the first rename and after the last.
double MoveJournaled(const Folders& f, RtJournal* journal, double* journal_part) {
    const auto t = std::chrono::steady_clock::now();
    RtJournalStep step;
    step.kind = RtStepMove;
    step.text = L"Verschieben: " + f.names.front();
    step.items.resize(f.names.size());
    for (size_t i = 0; i < f.names.size(); ++i) {
        RtJournalItem& item = step.items[i];
        item.from = f.from + f.names[i];
        item.to = f.to + f.names[i];
        rt_identity_take(item.from, &item.identity);
    }
    const auto before = std::chrono::steady_clock::now();
    if (!rt_journal_begin(journal, &step)) std::fprintf(stderr, "journal write failed\n");
    *journal_part = Seconds(before);
    for (RtJournalItem& item : step.items)
        if (rt_file_rename(item.from, item.to)) item.state = RtStepDone;
    const auto after = std::chrono::steady_clock::now();
    step.state = RtStepDone;
    if (!rt_journal_update(journal, step)) std::fprintf(stderr, "journal write failed\n");
    *journal_part += Seconds(after);
    return Seconds(t);
}

void MoveBack(const Folders& f) {
    for (const std::wstring& name : f.names) rt_file_rename(f.to + name, f.from + name);
}

} // namespace

int main() {
    char tmpl[] = "/tmp/tc-journal-bench-XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    const std::string base = tmpl;
    std::system(("mkdir -p '" + base + "/src' '" + base + "/dst'").c_str());
    Folders f{rt_text_from_os(base + "/src/"), rt_text_from_os(base + "/dst/"), {}};
    MakeFiles(base + "/src", &f);
    RtJournal journal;
    rt_journal_open(&journal, rt_text_from_os(base + "/Data/Undo/"));
    MovePlain(f); // warms the caches the same for both sides
    MoveBack(f);
    std::vector<double> ratios;
    for (int r = 0; r < kRounds; ++r) {
        double plain = 0, journaled = 0, part = 0;
        for (int side = 0; side < 2; ++side) {
            if ((side + r) % 2 == 0)
                plain = MovePlain(f);
            else
                journaled = MoveJournaled(f, &journal, &part);
            MoveBack(f);
        }
        ratios.push_back(journaled / plain);
        std::fprintf(
            stderr, "journal_store round %d: with %.3f s (journal writes %.3f s), without %.3f s\n",
            r + 1, journaled, part, plain);
    }
    std::system(("rm -rf '" + base + "'").c_str());
    const double ratio = Median(ratios);
    std::printf("BENCH journal_store ratio=%.2f target=%g\n", ratio, kTarget);
    return ratio <= kTarget ? 0 : 1;
}
