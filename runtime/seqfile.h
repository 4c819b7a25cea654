// Line-oriented text files ("Toolbar.bar" and the like).
//
// Text files are numbered objects in one process-wide table, separate from
// the enumerations: the caller picks a number (0 or more) or passes −1 for a
// fresh one, which the opening call returns; opening under a number in use
// closes the old file first. One file is used by one thread at a time.
//
// Lines are UTF-8 ended by CR LF when written; reading accepts CR LF, LF and
// CR. Writing is buffered (4096 bytes) and reaches the disk when the buffer is
// full and at rt_seqfile_close; a write that fails or falls short is reported
// by the call that made it and again by rt_seqfile_close. Bytes that are not
// UTF-8 read back as escape characters and are written back as the same
// bytes, so reading and rewriting a file never changes a line.
// Files still open when the process ends are written out and closed.
#pragma once
#include <string>

// Creates or truncates path for writing; the fresh number for −1, 1 for the
// caller's number, 0 on failure.
int rt_seqfile_create(int number, const std::wstring& path);
// Opens an existing file for reading; results as rt_seqfile_create.
int rt_seqfile_open_read(int number, const std::wstring& path);
// Appends text (as UTF-8) and CR LF; 0 when the file is not open for
// writing or the disk refused the data.
int rt_seqfile_write_line(int number, const std::wstring& text);
// The next line without its terminator; at the end of the file the rest
// (possibly empty). A byte order mark is kept as U+FEFF.
std::wstring rt_seqfile_read_line(int number);
// Nonzero when no byte is left to read (and for files not open for reading).
int rt_seqfile_eof(int number);
// Writes what is buffered and closes; 0 when the number was not open or any
// write of this file failed.
int rt_seqfile_close(int number);
