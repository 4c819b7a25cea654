// Copying one file with progress reports: today's callers' road into the
// copy engine (platform/copy.h).
//
// pf_file_copy copies a file (a symbolic link as a link, never followed)
// through a hidden temporary in the target's folder, reports after every
// chunk through a callback that may cancel, keeps mode, times and what else
// the engine keeps, and replaces an existing target: the one that is there
// when the copy starts. A target that appears, or is replaced, while the
// copy runs is left alone and the copy fails with EEXIST. A failed or
// cancelled copy leaves an existing target exactly as it was and no
// temporary behind.
//
// Runs on the calling thread (the copy worker); the callback runs on it too.
// Nothing is kept between calls.
#pragma once
#include <cstdint>
#include <string>

#include "platform/copy.h"

// Copies source to target (both full file paths). progress may be null.
// Returns 1 on success; 0 on failure or cancel, with errno telling why
// (ECANCELED for a cancel, EEXIST for a target that changed meanwhile).
int pf_file_copy(const std::wstring& source, const std::wstring& target, PfCopyProgressFn progress,
                 void* user);
