// Replacing a small text file whole, so that readers only ever see the old
// or the new contents. Main thread only.
#pragma once

#include <cstdint>
#include <string>

// Writes text (as the OS bytes of the text, lossless) into a temporary file
// beside path, flushes it to the disk, renames it over path and flushes the
// folder. 1 on success; 0 on any failure, with path left as it was and the
// temporary file removed.
int64_t ReplaceFileText(const std::wstring& path, const std::wstring& text);
