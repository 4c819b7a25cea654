// Questions to the file system that may block, asked off the main thread.
//
// A folder on a slow or dead network mount can make any stat, listing or
// free-space query hang. The panes ask such questions on a thread of their
// own (PaneAsk) and wait for the answer at most PaneAnswerWaitMs: an answer
// that comes in time is delivered at once, so a local folder behaves as if it
// had been read in place; a later one is delivered when its event
// (EventPaneAnswer, handled by a bound callback, so also inside modal loops)
// arrives. Meanwhile the main loop goes on.
//
// The work runs on its thread and must touch neither App nor the toolkit; it
// hands its result to the delivery through what both closures share. The
// delivery runs on the main thread and decides itself whether the answer is
// still wanted (a newer question for the same thing supersedes it).
#pragma once

#include <cstdint>
#include <functional>

using PaneWork = std::function<void()>;    // on the question's thread
using PaneDeliver = std::function<void()>; // on the main thread, with the answer

// How long the main thread waits for an answer before going on (ms).
extern int64_t PaneAnswerWaitMs;
// The same for the listings of the start folders (ms): 0, so the window
// opens and paints while both panes are read, and the rows follow.
extern int64_t PaneStartWaitMs;

// Starts work on a new thread and delivers when it is done (see above),
// waiting wait_ms (PaneAnswerWaitMs when not given) for it. Main thread.
void PaneAsk(PaneWork work, PaneDeliver deliver, int64_t wait_ms = PaneAnswerWaitMs);
// Main thread: runs deliver in a later turn of the main loop, in order with
// the answers (work that need not hold up the present turn).
void PaneLater(PaneDeliver deliver);
// True while PaneAsk delivers an answer that came in time, before it returns.
bool PaneAnswerInPlace();
// Delivers every answer that has come; the event callback does this too.
void DeliverPaneAnswers();
// Drops every question not yet delivered: its delivery never runs. Threads
// still working are left to end by themselves. Main thread (shutdown, tests).
void ForgetPaneAnswers();
// Number of question threads still working (tests wait for them).
int64_t PaneQuestionsRunning();
