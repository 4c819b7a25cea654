// Text conversion at the OS boundary.
//
// Texts are std::wstring (UTF-32). Bytes from the OS (file names, file
// contents) are decoded losslessly: valid UTF-8 decodes normally; every byte
// that is not part of a valid sequence, and every control byte 0x01-0x1F,
// becomes U+DC00 + byte, a lone surrogate that never occurs in real text.
// Encoding reverses that exactly, so a name with a line feed or invalid UTF-8
// reaches the right file and never splits a line-separated list.
// Pure functions, safe from any thread.
#pragma once
#include <string>
#include <string_view>

// OS bytes -> text, lossless (control bytes and invalid bytes escaped).
std::wstring rt_text_from_os(std::string_view bytes);
// Text -> OS bytes; exact inverse of rt_text_from_os.
std::string rt_text_to_os(std::wstring_view text);

// Plain UTF-8 for file contents: invalid bytes escape as above, control
// bytes (line feeds, tabs) stay themselves.
std::wstring rt_text_from_utf8(std::string_view bytes);
// Text -> UTF-8; escaped bytes (U+DC80..U+DCFF, U+DC01..U+DC1F) turn back
// into their byte, other lone surrogates become U+FFFD.
std::string rt_text_to_utf8(std::wstring_view text);
// Appends every character's code in UTF-8's byte pattern, escapes and lone
// surrogates included, to out: byte order is then the characters' code
// order, in a quarter of the memory, for keys kept to compare or rebuild.
void rt_text_append_code_bytes(std::string& out, std::wstring_view text);

// ISO 8859-1 bytes -> text, one character per byte.
std::wstring rt_text_from_latin1(std::string_view bytes);
