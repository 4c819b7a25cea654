// Files and folders: enumeration, sizes and attributes, create, rename,
// delete, and path splitting.
//
// Paths are std::wstring with "/" as separator; a folder path ends in "/".
// Names go to and from the OS through rt_text_to_os / rt_text_from_os, so a
// name with a line feed or bytes that are not UTF-8 reaches the right file.
// No path length limit of our own applies.
//
// Enumerations are numbered objects in one process-wide table: the caller
// picks a number (0 or more) or passes −1 for a fresh one, which the opening
// call returns; opening under a number in use ends the old enumeration first.
// One enumeration is used by one thread at a time; different enumerations may
// run on different threads at once (workers use −1 so they never share one).
// An enumeration lists "." and ".." as the file system does, except in "/".
//
// Entry kinds, sizes and dates follow symbolic links (a link shows its
// target); a broken link is a file of size 0. Recursive deletion never follows
// a link: the link itself is removed.
//
// Every call reports failure only through its result (0, −1 or an empty
// text); nothing is shown or logged. A number that is not open gives 0 or an
// empty text. All calls may be made from any thread.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Attribute bits of rt_dir_entry_attributes and rt_file_attributes.
enum : int {
    RtAttrReadOnly = 0x1,    // the owner's write permission is missing
    RtAttrHidden = 0x2,      // the name starts with "." (not "." and "..")
    RtAttrSystem = 0x4,      // a device, socket or FIFO
    RtAttrFolder = 0x10,     // a folder or a link to one
    RtAttrArchive = 0x20,    // never set
    RtAttrNormal = 0x80,     // set when no other bit is
    RtAttrLink = 0x400,      // the entry is a symbolic link
    RtAttrCompressed = 0x800 // never set
};

// Entry kinds of rt_dir_entry_type.
enum : int {
    RtEntryFile = 1,   // anything that is not a folder, broken links included
    RtEntryFolder = 2, // a folder or a link to one
};

// Special results of rt_file_size.
inline constexpr int64_t RtSizeMissing = -1;
inline constexpr int64_t RtSizeFolder = -2;

// Which date rt_dir_entry_date gives.
enum : int {
    RtDateCreated = 0,  // birth time where the file system keeps it, else modification
    RtDateAccessed = 1, // last access
    RtDateModified = 2, // last modification
};

// Flags of rt_file_delete and rt_dir_delete.
enum : int {
    RtDeleteRecursive = 1, // rt_dir_delete: remove subfolders too
    RtDeleteForce = 2,     // give folders owner rwx before emptying them
};

// ---- enumeration ----

// Starts listing folder ("" = the current folder) with pattern ("" and "*.*"
// = every name, else matched like fnmatch). Returns the fresh number for −1,
// 1 for a number of the caller's, 0 when the folder cannot be listed (missing,
// not a folder, no permission). A folder without matches lists nothing.
int rt_dir_examine(int number, const std::wstring& folder, const std::wstring& pattern);
// Moves to the next entry; nonzero while there is one.
int rt_dir_next(int number);
std::wstring rt_dir_entry_name(int number);
// RtEntryFile or RtEntryFolder; 0 for an unknown number or before rt_dir_next.
int rt_dir_entry_type(int number);
// Size in bytes of a file (its target's for a link); 0 for folders.
int64_t rt_dir_entry_size(int number);
int rt_dir_entry_attributes(int number);
// The chosen date (RtDate…) as a date value of rt_date_make, local time.
int64_t rt_dir_entry_date(int number, int which);
// Ends the enumeration; nonzero when it existed.
int rt_dir_finish(int number);

// One entry of rt_dir_read: what rt_dir_entry_name, _type, _size,
// _attributes and rt_dir_entry_date (RtDateModified) give for it.
struct RtDirEntry {
    std::wstring name;
    int type = 0;         // RtEntryFile or RtEntryFolder
    int64_t size = 0;     // bytes; 0 for folders
    int attributes = 0;   // RtAttr… bits
    int64_t modified = 0; // last modification as a date value (local wall time)
};

// Reads every entry of folder in one pass, as an enumeration with pattern
// "*.*" would list them, with one statx per entry (two for a link) and the
// local time offset looked up once per hour of file times, not per entry.
// Stops early, returning false, once *cancel (when given) becomes nonzero.
// False when the folder cannot be listed. Any thread.
bool rt_dir_read(const std::wstring& folder, std::vector<RtDirEntry>* out,
                 const std::atomic<int>* cancel = nullptr);

// The whole content of a (small) file, read through the system-call seam;
// false when it cannot be opened or read.
bool rt_file_read_all(const std::wstring& path, std::string* out);

// ---- files and folders ----

// Size of the file at path (following links; a broken link is 0),
// RtSizeFolder for a folder, RtSizeMissing when nothing is there or path is
// empty. Trailing "/" are ignored.
int64_t rt_file_size(const std::wstring& path);
// Attribute bits of path, −1 when nothing is there. Trailing "/" are ignored,
// so a link is judged as the link.
int rt_file_attributes(const std::wstring& path);
// Deletes a file or link (never a folder); flags are accepted for
// compatibility, Linux needs no attribute change to delete.
int rt_file_delete(const std::wstring& path, int flags);
// Renames a file or folder. Never replaces an existing entry: fails when
// new_path exists (errno EEXIST). Fails across file systems; errno tells why.
int rt_file_rename(const std::wstring& old_path, const std::wstring& new_path);
// Creates one folder (its parent must exist); trailing blanks and "/" of
// path are dropped first.
int rt_dir_create(const std::wstring& path);
// Deletes what folder holds. Pattern "" or "*.*": every file and link, with
// RtDeleteRecursive every subfolder too, then folder itself; the result is
// whether folder is gone. Any other pattern: matching files and links only
// (with RtDeleteRecursive in every subfolder as well); folders stay; result 1.
// RtDeleteForce gives each folder owner rwx before emptying it. Links are
// removed, never followed, also when folder itself is one; other mounted file
// systems inside are left alone. What cannot be deleted stays. 0 when folder
// cannot be listed.
int rt_dir_delete(const std::wstring& folder, const std::wstring& pattern, int flags);
// The process's current folder, ending in "/".
std::wstring rt_dir_current();

// ---- paths ----

// Up to and including the last "/" (an opening '"' skipped; a "|" ends the
// search): "/a/b.txt" -> "/a/".
std::wstring rt_path_part(const std::wstring& path);
// Plain splits at the last "/", with no special characters: the folder part
// up to and including it (empty when there is none), and the name after it.
std::wstring rt_path_folder(const std::wstring& path);
std::wstring rt_path_name(const std::wstring& path);
// After the last "/", up to the end or a '"': "/a/b.txt" -> "b.txt".
std::wstring rt_path_file_part(const std::wstring& path);
// Text after the last "." of the last component, without the dot; empty for
// no ".", a leading "." only, or a blank after the last ".".
std::wstring rt_path_extension(const std::wstring& path);
// The same as a view into path (no copy), for callers that name many files.
std::wstring_view rt_path_extension_of(std::wstring_view path);
