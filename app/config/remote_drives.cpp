// Remote locations in the drive bars: see remote_drives.h.
#include "app/config/remote_drives.h"

#include "app/config/drive_bar.h"
#include "app/core/answers.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/core/remote_ask.h"
#include "app/panes/pane_remote.h"
#include "platform/remote_mount.h"
#include "toolkit/events.h"
#include "toolkit/windows.h"

#include <atomic>

namespace {

constexpr const wchar_t* TextDisconnectFailed = L"Kann die Verbindung nicht trennen:\n";

std::atomic<bool> Watching{false};

// On the thread that watches the mounts: only posts.
void MountsChanged(void*) {
    tk_event_post(EventRemoteMounts, WinMain);
}

void Rebuild() {
    RebuildDriveBars();
}

} // namespace

void InstallRemoteMountWatch() {
    Watching = true;
    tk_event_bind(EventRemoteMounts, Rebuild);
    pf_remote_mounts_notify(MountsChanged, nullptr);
    RebuildDriveBars();
}

void EndRemoteMountWatch() {
    pf_remote_mounts_notify(nullptr, nullptr);
    Watching = false;
}

void AddRemoteVolumes(std::vector<PfVolume>& volumes) {
    if (!Watching) return;
    PfRemoteCall* call = pf_remote_call_new();
    std::vector<PfRemoteMount> mounts;
    if (pf_remote_mounts(call, &mounts))
        for (const PfRemoteMount& m : mounts) {
            PfVolume v;
            v.mount = m.location;
            v.label = m.name;
            v.kind = L"Netzwerk";
            v.fs_type = m.scheme;
            v.letter = m.scheme.empty() ? L"N" : std::wstring(1, towupper(m.scheme[0]));
            volumes.push_back(v);
        }
    pf_remote_call_free(call);
}

void DisconnectChosenRemote() {
    const std::wstring chosen = TakeChosenRemoteDrive();
    if (chosen.empty()) return;
    struct Result {
        int ok = 0;
        std::wstring reason;
    };
    auto r = std::make_shared<Result>();
    AskAside(
        AskAnyTime,
        [r, location = chosen] {
            PfRemoteCall* call = pf_remote_call_new();
            r->ok = pf_remote_unmount(call, location, RemoteAskTable());
            r->reason = RemoteFailureText(call);
            pf_remote_call_free(call);
        },
        [r, location = chosen] {
            if (!r->ok)
                Messages.Dialog(MessageKindError, L"Achtung !", L"Fehler !",
                                TextDisconnectFailed + location + L"\n\n" + r->reason,
                                MessageOneButton, WinMain);
            RebuildDriveBars();
        },
        0);
}
