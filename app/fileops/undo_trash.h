// Deleting into the desktop's trash, as a file job that is one step of the
// undo history: F8 and Delete with the setting "Löschen in den Papierkorb",
// and "In den Papierkorb verschieben" of the pane's context menu.
//
// Each entry goes into the trash of its own file system (platform/trash.h);
// nothing is ever copied or deleted instead. An entry whose file system has
// no usable trash, or that cannot be moved, stays and is named with the
// reason at the end of the job. Main thread.
#pragma once

#include <string>
#include <vector>

// The bare names in folder (ending in "/") into the trash.
void TrashCommand(const std::wstring& folder, const std::vector<std::wstring>& names);
// F8 and Delete: into the trash with the setting on, else the permanent
// delete with its two questions. names as the selection gives them.
void DeleteOrTrash(const std::wstring& names, const std::wstring& folder);
// The end of a trash job: what stayed, and the pane. Called by the job's end.
struct CopyJob;
struct JournalRecord;
void TrashJobEnded(CopyJob& job, JournalRecord& record);
