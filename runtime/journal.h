// The undo journal: the file operations of this program as steps that can
// be undone and redone, kept on disk so that they survive a restart and a
// kill.
//
// The journal lives in a folder of its own (the application uses "Data/Undo/"
// beside "Settings.pref"), one file per step, "<id>.step". A step is written
// whole with the crash-safe replace (replace.h): when an operation starts
// (state begun, every planned item), flushed to disk before the operation
// may begin; while it runs (the items done so far) and when it ends (state
// done, the items as they really came out); and again, flushed, when it is
// undone or redone. Only the first write of an operation is flushed: a kill
// leaves the later ones in the page cache, and were they lost to a power
// cut, the begun record already on disk lets the undo find each item where
// it is, so a move waits for the disk once.
// One file per step keeps the cost of a write to the size of that step,
// however long the history. RtJournalKeep steps are kept; a new step drops
// the oldest beyond that which no job of this process is working on.
//
// Opening reads only the head and the tail of each step file (the list the
// menu needs); the items are read when a step is asked for. A file that is
// cut short, damaged or not ours is set aside as "<name>.broken" and left out,
// never a crash and never a reason not to start; temporary files of writers
// that were killed are removed. Names and texts are stored losslessly (a line
// feed in a name never splits a record).
//
// A step left begun by a process that was killed stays in the journal as
// such: the undo finds out per item where it now is (undo_items.h,
// platform/trash_undo.h) and undoes what had happened.
//
// Threads: an RtJournal may be used from any thread; its calls take its lock
// for the whole call, file writes included, so steps are written one at a
// time. Records passed in are copied; records given out are the caller's.
#pragma once
#include "runtime/identity.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// How many steps the journal keeps at least (the oldest are dropped beyond).
inline constexpr size_t RtJournalKeep = 50;

// What a step (or one item of it) did, one per line.
enum : int {
    RtStepRename = 1,    // from renamed to to, in one folder
    RtStepMove = 2,      // from moved to to
    RtStepNewFolder = 3, // the folder to was created (from empty)
    RtStepCopy = 4,      // from copied to to
    RtStepTrash = 5,     // from moved into a trash, now at trash
    // Items only: the source folder from, emptied by a move, removed (to
    // empty). Its undo makes the folder again before the files come back.
    RtStepFolderRemoved = 6,
};

// Where a step (or one item) stands.
enum : int {
    RtStepBegun = 1,  // planned and perhaps partly done; written before it starts
    RtStepDone = 2,   // happened (as far as the items say)
    RtStepUndone = 3, // undone
};

struct RtJournalItem {
    int kind = RtStepMove;   // RtStep…: what was done to this entry
    int state = RtStepBegun; // RtStepBegun (planned), RtStepDone, RtStepUndone
    std::wstring from;       // the entry's path before; empty for a new folder
    std::wstring to;         // its path after; empty for a trash item
    std::wstring trash;      // its path in a trash's files folder while it is there
                             // because of this step (trashed; a copy undone); else empty
    RtIdentity identity;     // what stands at the entry's place after the step
                             // (rename and trash keep the source's); kind RtIdNone when unknown
};

struct RtJournalStep {
    int64_t id = 0;          // given by rt_journal_begin; 1, 2, … in the order begun
    int kind = RtStepMove;   // RtStep…
    int state = RtStepBegun; // RtStep…
    std::wstring text;       // what the menu shows, e.g. "Umbenennen: a.txt"
    std::vector<RtJournalItem> items;
};

// What the journal knows of a step without reading its items.
struct RtJournalEntry {
    int64_t id = 0;
    int kind = 0;
    int state = 0;
    std::wstring text;
    int64_t item_count = 0;
    bool running = false; // begun by this process and not yet ended: leave it alone
    bool flushed = false; // a record of it, begun or later, is known to be on the disk
};

struct RtJournal {
    std::mutex lock;                   // held by every call
    std::string folder;                // OS bytes, ending in "/"
    std::vector<RtJournalEntry> steps; // oldest first
    int64_t next_id = 1;
    int set_aside = 0; // files set aside as broken since opening
    // Steps given to rt_journal_update_later and not yet written, by id, and
    // how many threads are on their way to write them.
    std::map<int64_t, RtJournalStep> unwritten;
    int writers = 0;
    std::condition_variable written; // a writer has ended
};

// Reads the journal in folder (wide path ending in "/"; created at the first
// write). A missing folder is an empty journal.
void rt_journal_open(RtJournal* journal, const std::wstring& folder);

// Starts a step: gives it the next id, state begun (the items keep theirs),
// writes it, and drops the oldest steps beyond RtJournalKeep. The step is in
// the journal (marked running) even when the write fails; false then, with
// errno set, and a later rt_journal_update tries the file again.
bool rt_journal_begin(RtJournal* journal, RtJournalStep* step);

// Writes step (found by its id) as given, e.g. done with the items as they
// came out, or undone. A state other than begun ends the step's running mark.
// false with errno set when the write fails, or ENOENT when the journal holds
// no step of that id (it was dropped).
bool rt_journal_update(RtJournal* journal, const RtJournalStep& step);

// The same, written on a thread of its own: the end of a job, which need not
// hold up whoever ends it. The journal's list takes the step at once; every
// other call on the step (and rt_journal_flush) writes it first, so nothing
// ever reads or overwrites an older state of it.
bool rt_journal_update_later(RtJournal* journal, RtJournalStep step);
// Writes every step rt_journal_update_later was given and waits for its
// threads (before the journal is closed, and at the program's end).
void rt_journal_flush(RtJournal* journal);

// The whole step with its items, read from its file. false when there is no
// such step or its file cannot be read; a damaged file is set aside and the
// step leaves the journal.
bool rt_journal_read(RtJournal* journal, int64_t id, RtJournalStep* out);

// Removes a step and its file (the application drops the steps a new
// operation makes unreachable for redo). false when there was none.
bool rt_journal_drop(RtJournal* journal, int64_t id);

// The steps, oldest first.
std::vector<RtJournalEntry> rt_journal_list(RtJournal* journal);

// The file a step is kept in (OS bytes), for tests and for setting aside.
std::string rt_journal_file(const RtJournal& journal, int64_t id);
