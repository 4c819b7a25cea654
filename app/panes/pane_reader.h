// Reading a folder into the rows of a pane, split in the part that may block
// (enumeration, stat, row texts, sort), which runs on any thread, and the
// part that puts the finished rows into the list, which runs on the main
// thread. ShowPath asks the first on a thread of its own (app/core/answers.h)
// and does the second when the answer comes; FillPane does both in place.
// Every read of a shown folder's entries, a listing's and a refresh's, goes
// through ReadPaneEntries: a folder of another kind is read in there.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/list.h"

struct Pane;

// What a listing needs of the settings and the pane, copied on the main
// thread so that the reading thread touches no shared state.
struct PaneListingRequest {
    std::wstring Path; // folder, ending in "/"
    bool ShowHidden = false;
    bool ShowSystem = false;
    int64_t FileSizeUnit = 0;
    int64_t SortColumn = 0;
    int64_t SortOrder = 0;
    // A start folder: one that is not there (unplugged, deleted, a name with
    // a NUL) gives way to its nearest existing ancestor, or to Fallback when
    // none of its ancestors is a folder either.
    bool FindExisting = false;
    std::wstring Fallback;
};

// The finished rows, in order: texts (columns joined by "\n", each with room
// for the type name a worker writes later), item data (PaneRowFolder for a
// folder, the byte count of a file) and tag bits (PaneTagDone for "..", whose
// row the workers leave alone). Their pictures and the listing's epoch are
// set when the rows go into the list (PutListedRows).
// Why a remote folder could not be listed (a local one leaves it empty).
struct PaneReadFailure {
    int RemoteStatus = 0;     // PfRemote… (platform/remote.h), 0 for none
    std::wstring Reason;      // German, for the message
    bool LoginNeeded = false; // a read that must not ask met a login question
};

struct PaneListing {
    bool Ok = false;   // false: the folder could not be listed (or reading was called off)
    std::wstring Path; // the folder read: the request's, or the one that stood in for it
    std::vector<TkListNewRow> Rows;
    PaneReadFailure Failure; // when Ok is false
};

struct RtDirEntry;

// Any thread: the entries of folder, with their attributes, sizes and dates;
// false when it cannot be listed, or once *cancel (when given) becomes
// nonzero. A remote location (app/panes/pane_remote.h) is read through GIO,
// its server mounted first when it is not yet (without asking the user
// anything unless may_ask); failure (when given) then says why it failed.
bool ReadPaneEntries(const std::wstring& folder, std::vector<RtDirEntry>* entries,
                     const std::atomic<int>* cancel = nullptr, PaneReadFailure* failure = nullptr,
                     bool may_ask = true);

// Main thread: the request for listing path into the pane.
PaneListingRequest PaneListingRequestOf(const Pane& pane, const std::wstring& path);
// Any thread: reads, filters and sorts the folder into finished rows; stops
// early (Ok false) once *cancel becomes nonzero.
void ReadPaneListing(const PaneListingRequest& request, PaneListing* out,
                     const std::atomic<int>* cancel = nullptr);
// Main thread, in two halves that may run in two turns of the main loop:
// the rows replace the pane's (taking their texts) and the history is
// recorded as listed; then the window is laid out again and the pane's
// workers start.
void PutListedRows(Pane& pane, PaneListing& listing);
void FinishListedRows(Pane& pane);
// Main thread: a folder that could not be listed; see FillPane.
void PaneListingFailed(Pane& pane, const std::wstring& path);
// Main thread: the history goes back to the folder whose rows the list
// still shows, the path field with it, and the stopped workers go on.
void PutBackListedFolder(Pane& pane);

// The date column's text of a date value, as rt_format_date (PaneDateMask)
// gives it, without reading the mask for every row. Any thread.
std::wstring PaneDateText(int64_t date);
// The same appended to out.
void AppendPaneDateText(std::wstring& out, int64_t date);

// 1 while a listing of the pane started by ShowPath is on its way.
int64_t PaneListingPending(int64_t list);
// Drops the listings on their way and every other unanswered question
// (shutdown, tests); the panes keep the rows they show.
void ForgetPaneListings();
