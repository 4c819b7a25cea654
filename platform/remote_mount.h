// Mounting remote locations, the questions a login asks, and the mounted
// remote locations (the drive bar's "Netzwerk").
//
// pf_remote_mount mounts the server of a location through GIO
// (g_file_mount_enclosing_volume) unless it is mounted already. Whatever the
// backend asks (user, password, domain, whether to remember the password in
// the desktop's keyring and for how long, an anonymous login, a choice such
// as accepting an unknown host key) goes to the caller's PfRemoteAsk table.
// The mount runs on the calling thread, on a private main context, and the
// table's functions are called there, so they may wait for the user's
// answer (the time limit stands still meanwhile) while the main thread waits
// for nothing. Cancel and the time limit work as for any remote operation
// (remote.h).
//
// pf_remote_mounts lists what is mounted, from a thread of its own that
// keeps GIO's volume monitor up to date; pf_remote_mounts_notify tells when
// that changes. pf_remote_unmount unmounts, on the calling thread, asking
// through the table when programs still use the mount.
#pragma once
#include <string>
#include <vector>

#include "platform/remote.h"

// What a login asks for (PfRemoteLogin::asks).
enum : int {
    PfAskUser = 0x1,      // a user name
    PfAskPassword = 0x2,  // a password
    PfAskDomain = 0x4,    // a domain (smb)
    PfAskMaySave = 0x8,   // the password may be remembered: PfRemember...
    PfAskAnonymous = 0x10 // an anonymous login is possible
};

// How long a password is remembered (PfRemoteLogin::remember).
enum : int {
    PfRememberNever = 0,   // only for this login
    PfRememberSession = 1, // until the user logs out of the desktop
    PfRememberAlways = 2,  // in the desktop's keyring
};

// One login question and its answer.
struct PfRemoteLogin {
    std::wstring message; // the backend's own words ("Enter password for ...")
    int asks = 0;         // PfAsk... bits
    // The answer, preset with what the backend proposes:
    std::wstring user;
    std::wstring domain;
    std::wstring password;
    int anonymous = 0; // 1: log in anonymously (only with PfAskAnonymous)
    int remember = PfRememberNever;
};

// The caller's answers. A function left null gives up on that question, and
// the mount ends with PfRemoteCancelled.
struct PfRemoteAsk {
    // Fill login's answer and return 1, or return 0 to give up.
    int (*login)(PfRemoteLogin* login, void* user) = nullptr;
    // Set *choice to an index of choices and return 1, or return 0 to give up.
    int (*question)(const std::wstring& message, const std::vector<std::wstring>& choices,
                    int* choice, void* user) = nullptr;
    void* user = nullptr; // handed to both
};

// Mounts the server of location. A password in the location answers the
// first login question; any further one goes to ask (may be null). 1 when
// the location is mounted (also when it was already).
int pf_remote_mount(PfRemoteCall* call, const std::wstring& location, const PfRemoteAsk* ask);

// Unmounts the mount holding location; PfRemoteNotMounted when there is
// none. ask (may be null) answers whether to go on while programs use it.
int pf_remote_unmount(PfRemoteCall* call, const std::wstring& location, const PfRemoteAsk* ask);

// One mounted remote location.
struct PfRemoteMount {
    std::wstring name;     // GIO's name for it, "anna on server"
    std::wstring location; // its top as a location text, "sftp://anna@server/"
    std::wstring scheme;   // "sftp", "smb", ...
};

// The mounted locations of the supported schemes, in GIO's order.
int pf_remote_mounts(PfRemoteCall* call, std::vector<PfRemoteMount>* out);

// changed(user) is called, on the thread that watches the mounts, after a
// remote location was mounted or unmounted; null stops it. The function
// must not block (post an event).
void pf_remote_mounts_notify(void (*changed)(void* user), void* user);
