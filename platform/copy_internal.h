// What the copy engine's files share: the record of one copy in progress and
// the steps each file contributes. Not for callers outside platform/copy_*.
#pragma once
#include "platform/copy.h"
#include "runtime/at_path.h"
#include "runtime/replace.h"
#include "runtime/syscalls.h"

#include <cerrno>
#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <xxhash.h>

// Closes a descriptor when it goes out of scope.
struct PfCopyFd {
    int fd = -1;
    ~PfCopyFd() {
        if (fd >= 0) rt_sys.close(fd);
    }
};

// One pf_copy_entry call.
struct PfCopyRun {
    const PfCopyOptions& options;
    RtControl* control;
    PfCopyResult* result;
    RtAtPath from;    // the source
    RtAtPath to;      // the target
    std::string temp; // the temporary, relative to to.dirfd; empty when none

    // Records an outcome other than PfCopyDone; returns false for chaining.
    bool fail(int outcome, int step, int error) {
        result->outcome = outcome;
        result->step = step;
        result->error = error;
        return false;
    }
    bool failed_step(int step) { return fail(PfCopyFailed, step, errno); }
};

// Creates a temporary in the target's folder with make (dirfd, name) -> a
// descriptor or 0 on success, -1 with errno on failure, trying fresh names
// while one is taken. Sets run->temp on success.
template <class Make> int pf_copy_make_temp(PfCopyRun* run, Make make) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = rt_replace_temp_name(run->to.name);
        const int r = make(run->to.dirfd, temp.c_str());
        if (r >= 0) {
            run->temp = std::move(temp);
            return r;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

// Removes the temporary, keeping errno.
void pf_copy_discard(PfCopyRun* run);

// copy_data.cpp: the contents of the regular file in (described by st) into
// out, verified with PfCopyVerify. false with run->result filled.
bool pf_copy_contents(PfCopyRun* run, int in, int out, const struct stat& st);

// copy_verify.cpp: a verified copy read back from the disk while it is
// written, window by window behind the writing.
class PfReadBack {
  public:
    PfReadBack() = default;
    PfReadBack(const PfReadBack&) = delete;
    PfReadBack& operator=(const PfReadBack&) = delete;
    ~PfReadBack();
    // For the copy open as out, under run->temp. false when the copy cannot
    // be read past the cache this way: then it is read back at the end.
    bool start(PfCopyRun* run, int out);
    // Whether it stopped following (the file system refused its reads).
    bool off() const { return off_; }
    // done bytes of the copy are written: hands whole windows to the disk
    // and reads back those the disk has. false after a failure (recorded).
    bool follow(int64_t done);
    // After the last byte: flushes the copy and reads back the rest. The
    // length and hash of all that was read back. false after a failure.
    bool finish(int64_t* length, uint64_t* digest);

  private:
    int read(int64_t until);
    bool fail(int err);
    PfCopyRun* run_ = nullptr;
    int out_ = -1;
    int fd_ = -1; // the copy opened past the cache
    char* buffer_ = nullptr;
    XXH3_state_t* hash_ = nullptr;
    int64_t handed_ = 0; // bytes whose writing to the disk was started
    int64_t read_ = 0;   // bytes read back
    bool off_ = false;
};

// copy_meta.cpp: owner, "user." attributes, mode and times of st onto the
// open copy out (from the open source in), best effort.
void pf_copy_meta_fd(int out, int in, const struct stat& st);
// The same for a link or special file at dirfd + name (no attributes).
void pf_copy_meta_at(int dirfd, const std::string& name, const struct stat& st);

// copy_place.cpp: gives run->temp the target's name as the options allow,
// or removes it. false with run->result filled.
bool pf_copy_place(PfCopyRun* run);
// Whether st is the file identity describes.
bool pf_copy_same(const PfCopyIdentity& identity, const struct stat& st);

// copy_unnamed.cpp: a new file's copy without a name until it is complete.
// Whether this copy of a file of size bytes may go that way (small, a new
// target, not read back).
bool pf_copy_unnamed_fits(const PfCopyRun* run, int64_t size);
// pf_copy_open_unnamed: the unnamed file in the target's folder, or one of:
enum : int {
    PfUnnamedRefused = -1, // not on this file system: take a named temporary
    PfUnnamedFailed = -2,  // a failure (recorded), as it would be for any new file
};
int pf_copy_open_unnamed(PfCopyRun* run);
// Gives the complete copy open as fd the target's name, only while the name
// is free: 1 when named, 0 with run->result filled (PfCopyTargetExists when
// taken), PfUnnamedRefused where the file system makes no links.
int pf_copy_name_unnamed(PfCopyRun* run, int fd);

// copy_links.cpp: the hard-link record. pf_copy_links_claim answers true
// with *first set when a copy of the same source file was already placed
// (link to it); false when this name is the first (copy it, then settle).
bool pf_copy_links_claim(PfCopyLinks* links, const struct stat& st, std::string* first);
void pf_copy_links_settle(PfCopyLinks* links, const struct stat& st, const std::string& target,
                          bool placed);
