// Procedures shared between the files of the file operations; not for the
// rest of the program.
#pragma once

#include <cstdint>
#include <string>

// Appends every file below folder (ending in "/") to Job.fileList as a full
// path and every folder to Job.sourceFolders, creating its counterpart in
// targetFolder first. Links are files here: never entered. Any thread (the
// move worker collects what it could not rename); Job must be its own.
void CollectFolder(const std::wstring& folder, const std::wstring& targetFolder);
// Creates the counterpart of a source folder (ending in "/") below
// targetFolder: the leading Job.sourceFolder is replaced by targetFolder.
// 1 when it exists afterwards.
int64_t CreateTargetFolder(const std::wstring& folder, const std::wstring& targetFolder);
// 6 go on, 7 abandon, 0 no conflict: one question when any target exists.
int64_t CheckOverwrite();
// Where a file-list element is copied from and to.
std::wstring JobSourceOf(const std::wstring& element);
std::wstring JobTargetOf(const std::wstring& element);

void CopyWorker(intptr_t parameter);
void DeleteWorker(intptr_t parameter);
// The file callback of pf_file_copy.
int CopyProgress(int64_t total, int64_t done, void* user);

// Re-reads every pane showing folder, keeping the active pane active.
void RefreshPanesShowing(const std::wstring& folder);
