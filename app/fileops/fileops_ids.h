// Numbers of the file operations' own windows: the gadgets of the copy and
// delete progress windows, the new-folder and rename dialogs, their
// shortcut items, and the private progress event of a running job. The
// window numbers themselves are shared and live in app/core/ids.h.
#pragma once

#include <cstdint>

// ---- progress windows 34 and 35 ----
enum : int64_t {
    GadFileProgress = 37,  // smooth bar 0-100, the current file
    GadTotalProgress = 38, // smooth bar 0-100, the whole job
    GadCurrentFile = 39,   // "Kopiere : " + the current item
    GadFilePercent = 40,   // "File:" + percent + "%"
    GadTotalPercent = 41,  // "GesamtProzent:" + percent + "%"
    GadCancel = 42,        // "Abbrechen"
};
// The gadgets of a progress window that have no fixed number, as asked of
// FileJobProgressGadget.
enum : int64_t {
    ProgressPauseButton = -2, // "Anhalten" / "Fortsetzen"
    ProgressFigures = -3,     // bytes done of the total, speed, time left
};

// ---- new-folder dialog 36 ----
enum : int64_t {
    GadNewFolderName = 43,
    GadNewFolderOk = 44,
    GadNewFolderCancel = 45,
};

// ---- rename window 46 ----
enum : int64_t {
    GadRenameName = 47,
    GadRenameOk = 48,
};

// Shortcut items of the two dialogs.
enum : int64_t {
    MenuDialogReturn = 4, // Return: acts as the OK button
    MenuDialogEscape = 5, // Escape: closes the rename window
};

// Posted by a worker to its progress window when there is something new to
// show; the window's handler copies it into the gadgets (gadgets are main
// thread only). At most one is queued at a time.
constexpr int32_t EventJobProgress = 65600;
// Posted by the worker pool once a job's worker has returned (data: the
// job's queue id), when its EventJobDone came too early to end the job.
constexpr int32_t EventJobGone = 65601;

// The numbers of progress windows beside the first one: from here on, far
// above the application's own window numbers and far below the addresses
// the toolkit hands out as fresh numbers.
constexpr int64_t FirstJobWindow = 1'000'000;

// Geometry of the windows, as the main window opens them.
enum : int64_t {
    ProgressWidth = 400,
    ProgressHeight = 156,
    NewFolderX = 0,
    NewFolderY = 0,
    NewFolderWidth = 320,
    NewFolderHeight = 70,
};

// A progress window comes on the screen only when its job is still running
// after this long: a move by rename or a delete of a few files ends before
// a window could be seen, and would only flash one up.
constexpr int64_t ProgressShowDelayMs = 200;

// The longest part of the current item the progress window shows.
constexpr size_t CurrentItemShown = 67;
