// Procedures shared between the files of the file operations; not for the
// rest of the program.
#pragma once

#include <cstdint>
#include <string>

// Appends every file below folder (ending in "/") to Job.fileList as a full
// path and every folder to Job.sourceFolders, creating its counterpart in
// targetFolder first. Links are files here: never entered. The worker's
// thread (Job is its own then); it stops early once the job is cancelled.
void CollectFolder(const std::wstring& folder, const std::wstring& targetFolder);
// Creates the counterpart of a source folder (ending in "/") below
// targetFolder: the leading Job.sourceFolder is replaced by targetFolder.
// 1 when it exists afterwards.
int64_t CreateTargetFolder(const std::wstring& folder, const std::wstring& targetFolder);
// Where a file-list element is copied from and to.
std::wstring JobSourceOf(const std::wstring& element);
std::wstring JobTargetOf(const std::wstring& element);

void CopyWorker(intptr_t parameter);
void DeleteWorker(intptr_t parameter);
// The file callback of pf_file_copy.
int CopyProgress(int64_t total, int64_t done, void* user);

// Re-reads every pane showing folder, keeping the active pane active.
void RefreshPanesShowing(const std::wstring& folder);
