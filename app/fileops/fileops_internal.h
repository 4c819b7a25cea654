// Procedures shared between the files of the file operations; not for the
// rest of the program.
#pragma once

#include <cstdint>
#include <string>

struct CopyJob;

struct FileWork;
struct WorkItem;

// The steps of a copy or move worker (file_work.h): collecting the selected
// trees, copying their files (several at once), one file with its questions.
void CollectJob(FileWork& w);
void CopyFiles(FileWork& w);
void TransferItem(FileWork& w, WorkItem& item);

// The workers (parameter: the job's record).
void CopyWorker(intptr_t job);
void DeleteWorker(intptr_t job);

// A name the user typed for an entry in a folder: one plain name. A "/"
// inside would reach into another folder, "." and ".." are no names.
bool IsPlainName(const std::wstring& name);
// Why name is no plain name, for the message dialog; empty when it is one.
std::wstring NameRefusal(const std::wstring& name);
// Why creating or renaming an entry failed with errno error, in German.
std::wstring FailureReason(int error);

// Re-reads every shown pane showing folder, keeping the active pane active.
void RefreshPanesShowing(const std::wstring& folder);
