// The selection line under each pane list: how many files and folders are
// selected and how large they are, against the folder's totals —
// "3 von 1.204 Dateien, 4,5 MB von 2,1 GB ausgewählt" — or, with nothing
// selected, the folder's totals alone. Numbers in German: "." between groups
// of three digits, a decimal comma. Folders count apart from files; a
// folder's size counts once Space has measured it (its size cell then holds
// a size). ".." counts as nothing.
//
// The line is brought up to date at once after the program's own selection
// commands and every event of the list, and a light poll catches whatever
// else changes rows (listings, the watcher, a measured folder): it compares
// the list's content revision and selection and counts again only when they
// moved. Main thread only, except the text procedures, which are pure.
#pragma once

#include <cstdint>
#include <string>

struct SelectionCounts {
    int64_t Files = 0;           // file rows of the folder (as the filter shows them)
    int64_t Folders = 0;         // folder rows, ".." not counted
    int64_t Bytes = 0;           // bytes of the files and of the measured folders
    int64_t FilesSelected = 0;   // selected file rows
    int64_t FoldersSelected = 0; // selected folder rows
    int64_t BytesSelected = 0;   // bytes of the selected rows
};

// "1.204"
std::wstring GermanCount(int64_t value);
// "512 Byte", "4,5 MB", "2,1 GB": the largest unit (each 1024 of the one
// before) that leaves at least one, with one decimal from KB on.
std::wstring GermanSize(int64_t bytes);
// The line's text for the counts.
std::wstring SelectionLineText(const SelectionCounts& counts);

// The counts of a pane list as its rows are now.
SelectionCounts CountSelection(int64_t list);
// Shows the counts of list in its side's selection line.
void UpdateSelectionLine(int64_t list);
// Both lines whose pane's rows or selection changed since they were shown.
void UpdateChangedSelectionLines();
// Both lines now, and from then on every few hundred milliseconds those
// whose pane changed (a timer of the toolkit; started once).
void StartSelectionLines();
