// The questions a remote login asks, put to the user on the main thread, and
// the remote calls every part of the program opens its locations with.
//
// A mount runs on a worker thread (platform/remote_mount.h) and asks its
// questions there. RemoteAskTable hands each one to the main thread (an
// event with a bound callback, so also inside modal loops), where the
// installed dialogs answer it, and lets the worker wait for the answer
// meanwhile; the main thread waits for nothing. Until the dialogs are
// installed (before the window exists, in tests that install none) every
// question is declined at once, and the mount ends as cancelled.
//
// RemoteReadFolder and RemoteMounted open a location as a pane or a job
// needs it: a location that is not mounted yet is mounted first, with the
// table's questions, and the operation tried once more.
#pragma once

#include "platform/remote_mount.h"

#include <string>
#include <vector>

struct RtDirEntry;

// The dialogs on the main thread; null declines. Installed by the shell.
using RemoteLoginFn = int (*)(PfRemoteLogin* login);
using RemoteQuestionFn = int (*)(const std::wstring& message,
                                 const std::vector<std::wstring>& choices, int* choice);
extern RemoteLoginFn RemoteLoginDialog;
extern RemoteQuestionFn RemoteQuestionDialog;

// Main thread: binds the event that carries the questions. Once.
void InstallRemoteAsk();
// Any thread: questions asked from now on are declined, and those waiting
// end declined (the program ends).
void EndRemoteAsk();

// Any worker thread: the table that asks through the dialogs above.
const PfRemoteAsk* RemoteAskTable();

// Main thread: a location as the user typed it, a password in it included,
// for the next mount of its server (its first login question); the
// password is kept in memory only until that mount takes it.
void RemoteRememberTyped(const std::wstring& typed);

// Worker thread: mounts the server of location unless it is mounted. 1 on
// success; else the call's status says why. Without ask every question is
// declined (PfRemoteCancelled), and a password typed stays for a mount
// that may ask.
int RemoteMounted(PfRemoteCall* call, const std::wstring& location, bool ask = true);

// Worker thread: reads folder's entries as pf_remote_dir_read does, mounting
// its server first when it is not mounted yet.
int RemoteReadFolder(PfRemoteCall* call, const std::wstring& folder,
                     std::vector<RtDirEntry>* entries, bool ask = true);

// The reason a failed call gives, for a message: the status's German
// reason, and GIO's own words after it when it has any.
std::wstring RemoteFailureText(const PfRemoteCall* call);
