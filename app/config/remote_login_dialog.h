// The program's own dialogs for what a remote login asks (app/core/remote_ask.h
// brings the questions to the main thread): the login window, with user,
// domain, password, "Passwort merken" and an anonymous login as the
// backend asks for them, and a question with choices, such as whether to
// accept a server's unknown host key. Both are modal, return when the user
// has answered, and answer 0 (give up) when closed, cancelled or when the
// program is to end. Main thread.
#pragma once

#include "platform/remote_mount.h"

#include <string>
#include <vector>

// Fills login's answer and returns 1, or returns 0 when the user gives up.
int RemoteLoginWindow(PfRemoteLogin* login);

// Puts message to the user: "OK" takes the first choice (*choice = 0, the
// backends' "go on"), "Abbruch" gives up (0).
int RemoteQuestionWindow(const std::wstring& message, const std::vector<std::wstring>& choices,
                         int* choice);

// Installs both as the answers of every remote login (InstallRemoteAsk).
void InstallRemoteLoginDialogs();
