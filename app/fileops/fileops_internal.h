// Procedures shared between the files of the file operations; not for the
// rest of the program.
#pragma once

#include <cstdint>
#include <string>

struct CopyJob;

// Appends every file below folder (ending in "/") to the job's file list as
// a full path and every folder to its source folders, creating its
// counterpart below the job's target folder first. Links are files here:
// never entered. The worker's thread (the job is its own then); it stops
// early once the job is cancelled.
void CollectFolder(CopyJob& job, const std::wstring& folder);
// Creates the counterpart of a source folder (ending in "/") below the
// job's target folder: its leading source folder is replaced by the target
// folder. 1 when it exists afterwards.
int64_t CreateTargetFolder(CopyJob& job, const std::wstring& folder);
// Where a file-list element of the job is copied from and to.
std::wstring JobSourceOf(const CopyJob& job, const std::wstring& element);
std::wstring JobTargetOf(const CopyJob& job, const std::wstring& element);

// The workers (parameter: the job's record).
void CopyWorker(intptr_t job);
void DeleteWorker(intptr_t job);
// The file callback of pf_file_copy (user: the job's record).
int CopyProgress(int64_t total, int64_t done, void* job);

// A name the user typed for an entry in a folder: one plain name. A "/"
// inside would reach into another folder, "." and ".." are no names.
bool IsPlainName(const std::wstring& name);
// Why name is no plain name, for the message dialog; empty when it is one.
std::wstring NameRefusal(const std::wstring& name);
// Why creating or renaming an entry failed with errno error, in German.
std::wstring FailureReason(int error);

// Re-reads every shown pane showing folder, keeping the active pane active.
void RefreshPanesShowing(const std::wstring& folder);
