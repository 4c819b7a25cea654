// pf_file_copy over the copy engine: see file_copy.h.
#include "platform/file_copy.h"

#include <cerrno>

#include "runtime/text.h"

namespace {

// The errno a caller of pf_file_copy reads for an outcome of the engine.
int errno_of(const PfCopyResult& r) {
    switch (r.outcome) {
    case PfCopyCancelled: return ECANCELED;
    case PfCopyTargetExists:
    case PfCopyTargetChanged: return EEXIST;
    case PfCopySourceChanged: return EAGAIN;
    case PfCopyMismatch: return EIO;
    default: return r.error;
    }
}

} // namespace

int pf_file_copy(const std::wstring& source, const std::wstring& target, PfCopyProgressFn progress,
                 void* user) {
    const std::string to = rt_text_to_os(target);
    PfCopyOptions options;
    options.progress = progress;
    options.user = user;
    // The caller asked about the target before (or found none): what is
    // there now is what may be replaced, and nothing that comes later.
    options.agreed = pf_copy_identity(to);
    options.replace = options.agreed.exists ? PfReplaceExactly : PfReplaceNever;
    PfCopyResult result;
    if (pf_copy_entry(rt_text_to_os(source), to, options, nullptr, &result) == PfCopyDone) return 1;
    errno = errno_of(result);
    return 0;
}
