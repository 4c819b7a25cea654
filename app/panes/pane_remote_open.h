// Opening a remote file: it is fetched into a local copy of its own (off the
// main thread, within the remote calls' time limit) and the copy handed to
// the desktop, the viewer or the editor. A copy opened for editing is
// watched: once it changes, the user is asked whether to write it back over
// the server's file, and asked again before a file that changed on the
// server meanwhile is replaced. Copies are removed when the program ends
// (DiscardRemoteCopies). Main thread.
#pragma once

#include <functional>
#include <string>

struct Pane;

// Opens the entry of a pane's remote row: a folder row is entered, a file is
// fetched and handed to the desktop to open.
void OpenRemoteEntry(Pane& pane, const std::wstring& entry, bool folder_row);

// Fetches the remote file location and calls start with its local copy (on
// the main thread); with edit the copy is written back as above. A file that
// cannot be fetched is named in a message with the reason.
void OpenRemoteFile(const std::wstring& location, bool edit,
                    std::function<void(const std::wstring& local)> start);

// Removes every local copy and stops watching them (the program ends).
void DiscardRemoteCopies();
