// Preference files: small line-oriented files of named groups holding
// "key = value" entries, such as the settings file.
//
// Each thread has at most one current preference file, kept in thread-local
// state; every rt_pref_* call acts on the calling thread's one, so two threads
// may work on two files at once but must not share one. A file is read whole
// into an in-memory node list (group headers, comments, entries, in file
// order) when it is opened, edited there, and written back whole when it is
// closed. Nothing of the list is handed out: texts come back as copies.
//
// Writing is all or nothing: rt_pref_close writes the new text to a temporary
// file in the same folder and renames it over the old file (keeping the old
// file's permission bits), so a failed write or a crash mid-write leaves the
// old file as it was, never truncated or empty.
//
// Bytes on disk: written files start with EF BB BF CR LF and hold one line per
// node ("[name]", "; text", "key = value"), each ended by CR LF. Files without
// the byte order mark are read as ISO 8859-1. Group names and keys match
// without regard to case for A-Z only; the first match in file order wins.
// Line breaks inside a written text are stored escaped, so they never split
// a line, and read back as the escaped characters U+DC0A and U+DC0D.
//
// Results: nonzero for success, 0 for failure; reads give their default when
// no file is current, the entry is absent or a selected group does not exist.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Closes the current file (writing it back if modified) and starts an empty
// one for path, marked modified, so closing always writes at least the
// five-byte header. The old file, if any, stays untouched until the close.
// 0 when the file cannot be created there (the folder is not writable, or
// the path names a folder); all calls then do nothing until the next
// create or open.
int rt_pref_create(std::wstring_view path);

// Closes the current file (writing it back if modified), then reads path
// whole. 0 when it cannot be read: reads then give their defaults, and
// writes followed by rt_pref_close create the file.
int rt_pref_open(std::wstring_view path);

// Writes the list back if modified and forgets the file. 1 when nothing had
// to be written or the write succeeded; 0 when there was no current file or
// the write failed (the old file is then left as it was).
int rt_pref_close();

// Selects the group for the following reads and writes; "" selects the
// unnamed section above the first group. 1 if selected; 0 if there is no such
// group: the name is then kept pending, reads give their defaults, and the
// next write appends the group at the end of the file.
int rt_pref_group(std::wstring_view name);

// Inserts a comment after the node written or selected last (at the top
// when there is none).
void rt_pref_write_comment(std::wstring_view text);

// Writes key = the value's low 32 bits as a signed decimal. An existing entry
// of the current group is replaced in place; a new one goes to the group's
// end.
void rt_pref_write_long(std::wstring_view key, int64_t value);

// Writes key = text, placed as rt_pref_write_long places it.
void rt_pref_write_string(std::wstring_view key, std::wstring_view text);

// The entry's value as a signed 64-bit decimal (leading white space, sign,
// digits up to the first other character; no digits give 0), or def when
// the entry is absent.
int64_t rt_pref_read_long(std::wstring_view key, int64_t def);

// The entry's value without leading and trailing spaces and tabs (an empty
// value gives ""), or def when the entry is absent.
std::wstring rt_pref_read_string(std::wstring_view key, std::wstring_view def);
