// The text of one step file of the undo journal (journal.h), apart from the
// files it lives in, so that its round trip and its damage cases are tested
// on bytes alone.
//
//   TarnCommander-Undo 1
//   step <id> <kind> <state> <item count> <text>
//   <kind> <state> <from> <to> <trash> <id kind> <device> <inode> <size> <mtime> <birth>
//   … one line per item …
// where each of from, to and trash is two fields: how many characters it
// shares with the same path of the item before (the items of a step mostly
// lie in one folder, and a move of 10,000 files is written twice), and the
// rest.
//   end <id> <item count>
//
// Fields are separated by a tab and every line ends in a line feed. Texts are
// UTF-8 with three escapes, so that no field ever holds a tab or a line feed:
// "\\" a backslash, "\xHH" the character U+DC00 + HH (how runtime/text.h
// keeps a name's control bytes and bytes that are not UTF-8), "\UHHHHHHHH"
// any other character UTF-8 cannot carry or that is a control character.
// The last line repeats the id and the count, so a file cut short anywhere
// is told from a whole one. Pure functions; any thread.
#pragma once
#include "runtime/journal.h"

#include <string>
#include <string_view>

// The whole file of step.
std::string rt_journal_format(const RtJournalStep& step);

// Whether every kind and state of step is one of the RtStep… and RtId…
// numbers, as the file has room for.
bool rt_journal_valid(const RtJournalStep& step);

// The step in bytes; false when they are not a whole step file.
bool rt_journal_parse(std::string_view bytes, RtJournalStep* out);

// The entry from the first bytes of a file (at least its first two lines)
// and its last bytes (at least its last line); false when either is not as
// a whole step file has it.
bool rt_journal_parse_ends(std::string_view head, std::string_view tail, RtJournalEntry* out);

// How many bytes of a file's start and end rt_journal_parse_ends needs at
// most: a longer step line is taken for damage.
inline constexpr size_t RtJournalHeadBytes = 8192;
inline constexpr size_t RtJournalTailBytes = 64;

// One text field, escaped as above, appended to out; and back.
void rt_journal_escape(std::string& out, std::wstring_view text);
bool rt_journal_unescape(std::string_view field, std::wstring* out);
