// Remote locations in a pane: a folder on another machine, named by its
// location text ("sftp://anna@server/home/anna/", platform/remote_location.h),
// shown like a local one.
//
// Its entries are read through GIO (ReadPaneEntries calls in here), its
// server mounted first when needed, the login's questions asked in the
// program's own dialogs (app/core/remote_ask.h). Nothing here reaches a
// server on the main thread: every look goes through a question off it
// (app/core/answers.h) and every operation has the remote calls' time limit,
// so a server that stops answering leaves the window answering. A pane
// whose server does not answer keeps its last rows, greyed, and its disk
// information line says "Der Server antwortet nicht: …"; its next listing
// that works takes the grey away. A saved folder read at the start asks no
// login question by itself: a server that wants one leaves the pane saying
// so until the user comes to it or presses Ctrl+R.
//
// The procedures that take a Pane& run on the main thread; those that say
// "any thread" are for the reading threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct Pane;
struct PaneReadFailure;
struct RtDirEntry;

// The text a pane's disk information line shows for a server that stopped
// answering: this + the folder.
inline constexpr const wchar_t* PaneServerSilent = L"Der Server antwortet nicht: ";
// The line of a saved folder whose server wants a login the start did not
// ask for: this + the folder.
inline constexpr const wchar_t* PaneLoginNeeded = L"Nicht verbunden, Anmeldung nötig: ";
// Grey of the rows of a pane whose server does not answer (0xBBGGRR).
inline constexpr int64_t PaneSilentGrey = 0x909090;

// Any thread: 1 when folder is a remote location, not a local path.
bool PaneIsRemote(const std::wstring& folder);

// Any thread: the entries of a remote folder, mounting its server first when
// needed (asking the user only with may_ask); false with failure (when
// given) filled when it cannot be listed. A listing called off meanwhile
// (*cancel, CallOffRemoteReading) is dropped.
bool ReadRemotePaneEntries(const std::wstring& folder, std::vector<RtDirEntry>* entries,
                           const std::atomic<int>* cancel, PaneReadFailure* failure,
                           bool may_ask = true);

// Any thread: the listing whose flag is cancel was superseded (the flag is
// set): its remote call, if one runs, ends at once instead of waiting out
// its time limit on a server that may not answer. Never waits.
void CallOffRemoteReading(const std::atomic<int>* cancel);

// The history of a pane pointed at a remote folder: the server's top, then
// each folder down to folder itself, so ".." walks up through them. The
// drive buttons are released; the disk information line shows the server
// and, once the server tells it, its free space.
void SetRemotePaneLocation(Pane& pane, const std::wstring& folder);

// A typed location: its server is mounted (when needed) and the folder
// shown by the pane's next listing. A password typed into it answers the
// first login question and is kept nowhere else. A text that names no
// location says so and puts the path field back.
void OpenTypedLocation(Pane& pane, const std::wstring& typed);

// "..": back up one folder, to the server's top at most.
void RemoteGoUp(Pane& pane);

// The listing of the pane's remote folder failed: a server that does not
// answer (or cannot be reached) shows in the pane, greyed rows and the disk
// information line; any other reason is said in a message naming the
// folder and the reason. The pane goes back to the folder whose rows it
// shows.
void RemoteListingFailed(Pane& pane, const PaneReadFailure& failure);

// The rows of a new listing came: the pane is no longer greyed.
void RemoteListingCame(Pane& pane);

// The user came to the pane (a click, Tab): a folder whose login the start
// left out is listed now, asking for the login.
void RemoteLoginOnEntry(Pane& pane);
// 1 while the pane shows PaneLoginNeeded.
bool PaneLoginIsNeeded(const Pane& pane);
// 1 while the pane shows the rows of a server that does not answer.
bool PaneServerIsSilent(const Pane& pane);

// A pane's folder as the settings file keeps it: a remote one as its URI
// (percent-encoded, never with a password), a local one as it is; and back.
std::wstring PaneFolderForFile(const std::wstring& folder);
std::wstring PaneFolderFromFile(const std::wstring& kept);

// A remote location's drive button: a click shows the location in the
// pane, a right click opens the popup "Trennen" (MenuRemoteDisconnect),
// whose choice takes the location with TakeChosenRemoteDrive.
void RemoteDriveClicked(Pane& pane, const std::wstring& location, int64_t button, bool right_click);
std::wstring TakeChosenRemoteDrive();

// Any thread: bytes of the files in a remote folder and, with subfolders,
// in every folder below it; links add nothing. -1 when it is no folder.
int64_t RemoteFolderSize(const std::wstring& folder, bool subfolders);
