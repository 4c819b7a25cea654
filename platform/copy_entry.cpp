// pf_copy_entry: one entry by its kind (regular file, link, FIFO or device,
// socket), and the engine's German reasons. See copy.h.
#include "platform/copy_internal.h"
#include "runtime/control.h"
#include "runtime/error_text.h"
#include "runtime/syscalls.h"

#include <fcntl.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Opens the regular file that was looked at as st. O_NONBLOCK and the
// identity check keep a FIFO or device that took its place meanwhile from
// blocking the copy; nothing else is ever opened. (On a regular file
// O_NONBLOCK changes nothing, so it stays set.)
int open_source(PfCopyRun* run, const struct stat& st) {
    const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = rt_at_open(run->from.dirfd, run->from.name, flags, 0);
    if (fd < 0) {
        run->failed_step(PfStepOpenSource);
        return -1;
    }
    struct stat now;
    const bool looked = rt_sys.fstat(fd, &now) == 0;
    if (looked && S_ISREG(now.st_mode) && now.st_ino == st.st_ino && now.st_dev == st.st_dev)
        return fd;
    if (looked)
        run->fail(PfCopySourceChanged, PfStepOpenSource, EAGAIN);
    else
        run->failed_step(PfStepOpenSource);
    rt_sys.close(fd);
    return -1;
}

// The contents into an unnamed file (0600 until complete), then its
// metadata, then the name; nothing is left when any step fails, as the file
// goes with its descriptor. 1 when done, 0 after a failure (recorded),
// PfUnnamedRefused when it cannot be named here. A late write error (NFS, a
// full disk) would show at close, after the name: then the name goes again.
int copy_unnamed(PfCopyRun* run, int in, int fd, const struct stat& st) {
    PfCopyFd out{fd};
    if (!pf_copy_contents(run, in, out.fd, st)) return 0;
    pf_copy_meta_fd(out.fd, in, st);
    const int named = pf_copy_name_unnamed(run, out.fd);
    if (named != 1) return named;
    if (rt_sys.close(std::exchange(out.fd, -1)) == 0) return 1;
    run->failed_step(PfStepWriteTarget);
    const int saved = errno;
    rt_sys.unlinkat(run->to.dirfd, run->to.name.c_str(), 0);
    errno = saved;
    return 0;
}

// A small new file goes unnamed; otherwise the contents go into a private
// temporary (0600 until complete), then its metadata, then the name.
bool copy_contents_of(PfCopyRun* run, const struct stat& st) {
    PfCopyFd in{open_source(run, st)};
    if (in.fd < 0) return false;
    if (pf_copy_unnamed_fits(run, st.st_size)) {
        const int fd = pf_copy_open_unnamed(run);
        const int done = fd >= 0 ? copy_unnamed(run, in.fd, fd, st) : fd;
        if (done != PfUnnamedRefused) return done == 1;
        // copied again by name, from the start
        if (rt_sys.lseek(in.fd, 0, SEEK_SET) < 0) return run->failed_step(PfStepReadSource);
    }
    const int access = run->options.flags & PfCopyVerify ? O_RDWR : O_WRONLY;
    PfCopyFd out{pf_copy_make_temp(run, [&](int dirfd, const char* name) {
        return rt_at_open(dirfd, name, access | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    })};
    if (out.fd < 0) return run->failed_step(PfStepCreateTarget);
    bool ok = pf_copy_contents(run, in.fd, out.fd, st);
    if (ok) pf_copy_meta_fd(out.fd, in.fd, st);
    // a late write error (NFS, a full disk) shows up at close
    if (rt_sys.close(std::exchange(out.fd, -1)) != 0 && ok)
        ok = run->failed_step(PfStepWriteTarget);
    if (!ok) {
        pf_copy_discard(run);
        return false;
    }
    return pf_copy_place(run);
}

// A later name of a file already copied in this job: a link to that copy.
// false when no link can be made (the first copy is gone, or the file
// system has no links): then the file is copied on its own.
bool link_to_first(PfCopyRun* run, const std::string& first) {
    RtAtPath at;
    if (!rt_at_path_open(&at, first)) return false;
    const int made = pf_copy_make_temp(run, [&](int dirfd, const char* name) {
        return rt_sys.linkat(at.dirfd, at.name.c_str(), dirfd, name, 0);
    });
    if (made < 0) return false;
    run->result->how = PfHowHardLink;
    return pf_copy_place(run);
}

bool copy_regular(PfCopyRun* run, const std::string& target, const struct stat& st) {
    PfCopyLinks* links = st.st_nlink > 1 ? run->options.links : nullptr;
    if (!links) return copy_contents_of(run, st);
    std::string first;
    if (pf_copy_links_claim(links, st, &first)) {
        if (link_to_first(run, first)) return true;
        if (run->result->outcome != PfCopyDone) return false; // a name conflict, not a missing link
        return copy_contents_of(run, st);
    }
    const bool ok = copy_contents_of(run, st);
    pf_copy_links_settle(links, st, target, ok);
    return ok;
}

bool copy_symlink(PfCopyRun* run, const struct stat& st) {
    // st_size is the text's length, except on file systems that give 0
    std::vector<char> text(st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096);
    ssize_t n;
    while ((n = rt_sys.readlinkat(run->from.dirfd, run->from.name.c_str(), text.data(),
                                  text.size())) == static_cast<ssize_t>(text.size()))
        text.resize(text.size() * 2); // it grew meanwhile
    if (n < 0) return run->failed_step(PfStepReadSource);
    text[static_cast<size_t>(n)] = '\0';
    const int made = pf_copy_make_temp(run, [&](int dirfd, const char* name) {
        return rt_sys.symlinkat(text.data(), dirfd, name);
    });
    if (made < 0) return run->failed_step(PfStepCreateTarget);
    pf_copy_meta_at(run->to.dirfd, run->temp, st);
    run->result->how = PfHowSpecial;
    return pf_copy_place(run);
}

// A FIFO is made anew, never opened: a writer waiting on the original stays
// waiting. A device node is made anew where allowed (root).
bool copy_node(PfCopyRun* run, const struct stat& st) {
    const int made = pf_copy_make_temp(run, [&](int dirfd, const char* name) {
        return rt_sys.mknodat(dirfd, name, st.st_mode & (S_IFMT | 07777), st.st_rdev);
    });
    if (made < 0) return run->failed_step(PfStepCreateTarget);
    pf_copy_meta_at(run->to.dirfd, run->temp, st);
    run->result->how = PfHowSpecial;
    return pf_copy_place(run);
}

bool copy_by_kind(PfCopyRun* run, const std::string& target) {
    struct stat st;
    if (rt_at_lstat(run->from.dirfd, run->from.name, &st) != 0)
        return run->failed_step(PfStepOpenSource);
    if (!rt_control_go_on(run->control)) return run->fail(PfCopyCancelled, PfStepNone, ECANCELED);
    switch (st.st_mode & S_IFMT) {
    case S_IFREG: return copy_regular(run, target, st);
    case S_IFLNK: return copy_symlink(run, st);
    case S_IFIFO:
    case S_IFCHR:
    case S_IFBLK: return copy_node(run, st);
    case S_IFSOCK: return run->fail(PfCopyNotCopied, PfStepOpenSource, EOPNOTSUPP);
    case S_IFDIR: return run->fail(PfCopyFailed, PfStepOpenSource, EISDIR);
    default: return run->fail(PfCopyFailed, PfStepOpenSource, EINVAL);
    }
}

struct Reason {
    int outcome;
    const wchar_t* text;
};

constexpr Reason kReasons[] = {
    {PfCopyCancelled, L"Abgebrochen"},
    {PfCopyTargetExists, L"Ziel existiert bereits"},
    {PfCopyTargetChanged, L"Ziel wurde inzwischen verändert"},
    {PfCopySourceChanged, L"Datei wurde während des Kopierens verändert"},
    {PfCopyMismatch, L"Kopie weicht vom Original ab"},
    {PfCopyNotCopied, L"Sockets werden nicht kopiert"},
};

ssize_t range_through_seam(int in, off64_t* in_off, int out, off64_t* out_off, size_t len,
                           unsigned flags) {
    return rt_sys.copy_file_range(in, in_off, out, out_off, len, flags);
}

} // namespace

int pf_copy_entry(const std::string& source, const std::string& target,
                  const PfCopyOptions& options, RtControl* control, PfCopyResult* result) {
    *result = PfCopyResult{};
    PfCopyRun run{options, control, result, {}, {}, {}};
    if (!rt_at_path_open(&run.from, source))
        run.failed_step(PfStepOpenSource);
    else if (!rt_at_path_open(&run.to, target))
        run.failed_step(PfStepCreateTarget);
    else
        copy_by_kind(&run, target);
    return result->outcome;
}

std::wstring pf_copy_reason(const PfCopyResult& result) {
    if (result.outcome == PfCopyDone) return {};
    if (result.outcome == PfCopyFailed) return rt_error_text(result.error);
    for (const Reason& r : kReasons)
        if (r.outcome == result.outcome) return r.text;
    return rt_error_text(result.error);
}

PfCopyRangeFn pf_copy_file_range = range_through_seam;

void pf_copy_sys_reset() {
    pf_copy_file_range = range_through_seam;
}
