// Pieces of the trash (trash.h) shared by its files: where an entry's trash
// is, the names entries get in it, and the text of a record. OS bytes
// throughout.
#pragma once
#include <ctime>
#include <string>
#include <string_view>

// One trash folder.
struct PfTrashPlace {
    std::string trash;  // the trash folder, without trailing "/"
    std::string topdir; // the folder relative record paths start from; empty for
                        // the home trash, whose records hold absolute paths
};

// The trash for an entry in the folder real_folder (a real path, no links).
// With create, what is missing of it is made; without, it must exist. 0 and
// *out filled, or the errno that makes it unusable.
int pf_trash_place_for(const std::string& real_folder, bool create, PfTrashPlace* out);

// The folder the relative paths of trash's records start from.
std::string pf_trash_topdir_of(const std::string& trash);

// The n-th name tried for an entry called base (n = 1 is base itself, then
// "stem.2.ext", …), cut so that the record's name fits NAME_MAX; the first
// kPfTrashStemKept bytes of a long stem are always kept.
std::string pf_trash_name(const std::string& base, int n);
inline constexpr size_t kPfTrashStemKept = 200;

// The record text for an entry whose record path is path (absolute or
// relative), deleted at when.
std::string pf_trash_info_text(std::string_view path, time_t when);
// The path and date of a record text; false when it is not one.
bool pf_trash_info_parse(std::string_view text, std::string* path, std::string* date);

// Percent-encoding of a record path (RFC 2396: letters, digits, "/" and
// "-_.!~*'()" stay), and back.
std::string pf_trash_encode(std::string_view bytes);
bool pf_trash_decode(std::string_view text, std::string* out);
