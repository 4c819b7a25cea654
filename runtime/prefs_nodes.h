// The node list of a preference file and its text form, internal to the
// preference files (prefs.cpp and its tests). Texts are held as UTF-8.
// Pure functions on values; no state, safe from any thread.
#pragma once
#include <string>
#include <string_view>
#include <vector>

enum class PrefNodeKind {
    Group,   // "[name]"
    Comment, // "; text"
    Entry,   // "key = value"
};

struct PrefNode {
    PrefNodeKind kind;
    std::string name;  // group name, comment text or key
    std::string value; // entry value as read (leading blanks skipped); empty otherwise
};

// Decodes a whole file (UTF-8 after a byte order mark, else ISO 8859-1) and
// reads one node per line that holds more than blanks.
std::vector<PrefNode> pref_parse(std::string_view file_bytes);

// The file's bytes: EF BB BF CR LF, then one CR LF-ended line per node.
std::string pref_serialize(const std::vector<PrefNode>& nodes);

// Group names and keys: equal when equal byte for byte after folding A-Z.
bool pref_same_name(std::string_view a, std::string_view b);

// Text -> UTF-8 for the file; line breaks (CR, LF and their escaped forms
// U+DC0D, U+DC0A) are written as the generalized UTF-8 of U+DC0D / U+DC0A
// so a text can never split its line.
std::string pref_text_to_utf8(std::wstring_view text);

// UTF-8 from the file -> text; the inverse of pref_text_to_utf8.
std::wstring pref_text_from_utf8(std::string_view bytes);
