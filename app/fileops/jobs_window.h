// The window "Aufträge" (Ctrl+J): every file job since the program started,
// one row each with what it does, its state, its share done and its speed,
// following the queue as it changes; the buttons pause, resume or cancel the
// selected job and move a waiting one up or down. A window of its own, not
// modal; main thread.
#pragma once

#include <cstdint>
#include <string>

struct QueuedJob;

// Opens the window, or brings it to the front when it is open.
void OpenJobsWindow();
// The handler of its events (window WinJobs).
int64_t JobsWindowEvents(int64_t event);
// The row of one entry: "3  Kopieren: a, b nach /x/  –  läuft  –  45 %  –
// 12.00 MB/s".
std::wstring JobRowText(const QueuedJob& entry);
// The gadget numbers of its list and buttons, 0 while closed (tests).
enum class JobsGadget { List, Pause, Resume, Cancel, Up, Down, Close };
int64_t JobsWindowGadget(JobsGadget which);
