// The quick search of the pane lists as the user meets it: the list's key
// hook (toolkit/list_keys.h) takes a typed letter or digit, opens the small
// field at the bottom of the pane (pane_bottom.h) and moves the current row
// to the first match (quick_search.h); further characters narrow it,
// Backspace widens it, Down and Up go to the next and previous match,
// Return opens the row as Return does, Escape, any other key or gadget
// event, or three seconds without a key close the field and leave the row
// current. The setting "Schnellsuche" chooses plain letters (0), Alt with
// letters (1: plain letters then go to the command line) or none (2).
// Keys typed into the command line, a path field or a filter box never
// reach a list's hook. Main thread only.
#pragma once

#include <cstdint>
#include <string>

// The lists' key hook asks here first (toolkit/list_keys.h): 1 when the
// key was taken.
int64_t QuickSearchKey(int64_t list, int64_t shortcut, const std::wstring& text);
// Builds the names' index of a pane whose rows changed and then stayed
// alike for a while, when no search is open (a toolkit timer; started
// once), so the first key after a listing need not wait for it;
// QuickSearchIndexNow builds every stale index at once.
void StartQuickSearchIndexing();
void QuickSearchIndexNow();
// Closes the field of list, if open; the current row stays.
void CloseQuickSearch(int64_t list);
// Any gadget event of the main window but the field's own closes every
// open field (a click elsewhere).
void QuickSearchSawGadget(int64_t gadget);
// The text the field of list shows; empty when closed.
std::wstring QuickSearchTyped(int64_t list);
// How long the field waits for the next key before it closes (ms).
extern int64_t QuickSearchPauseMs;
