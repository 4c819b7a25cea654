// Remote locations in a pane: reading, the history of a remote folder, the
// typed location, "..", the state of a server that does not answer and
// folder sizes. See pane_remote.h.
#include "app/panes/pane_remote.h"

#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/remote_ask.h"
#include "app/panes/pane.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_reader.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_texts.h"
#include "app/panes/panes.h"
#include "app/panes/size_text.h"
#include "platform/remote_files.h"
#include "platform/remote_location.h"
#include "runtime/files.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/menus.h"
#include "toolkit/windows.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace {

// Panes greyed because their server does not answer (main thread).
std::set<const Pane*> Silent;
// Panes waiting for the user to come to them to log in, and those whose
// line still says so (main thread).
std::set<const Pane*> LoginWanted, LoginShown;

// The remote calls of listings under way, by their cancel flags.
std::mutex ReadsLock;
std::map<const std::atomic<int>*, PfRemoteCall*> Reads; // (ReadsLock)

// A new call that CallOffRemoteReading(cancel) reaches while it runs (any
// thread); EndCall frees it.
PfRemoteCall* CallFor(const std::atomic<int>* cancel) {
    PfRemoteCall* call = pf_remote_call_new();
    if (!cancel) return call;
    {
        std::lock_guard guard(ReadsLock);
        Reads[cancel] = call;
    }
    if (*cancel) pf_remote_call_cancel(call); // called off before it began
    return call;
}

void EndCall(const std::atomic<int>* cancel, PfRemoteCall* call) {
    if (cancel) {
        std::lock_guard guard(ReadsLock);
        Reads.erase(cancel);
    }
    pf_remote_call_free(call);
}

// The free-space question of each pane still out (main thread): a newer
// one calls it off, so a server that stopped answering keeps no thread.
std::map<const Pane*, std::shared_ptr<std::atomic<int>>> SpaceAsked;
// The location whose drive popup is open (main thread).
std::wstring ChosenDrive;
constexpr const wchar_t* PaneDisconnect = L"Trennen";

// Failures that are a state of the server rather than of the folder: they
// show in the pane instead of a message the user must close.
bool IsServerState(int status) {
    return status == PfRemoteNotAnswering || status == PfRemoteUnreachable;
}

void SetLine(const Pane& pane, const std::wstring& text) {
    if (const PaneSide* side = SideOf(pane)) tk_gadget_set_text(side->DiskInfo, text);
}

void Grey(const Pane& pane, bool grey) {
    tk_gadget_set_color(ListOf(pane), TkColorFront, grey ? PaneSilentGrey : TkColorDefault);
}

// The disk information line of a remote folder: its server, then its free
// space once the server tells it (asked off the main thread; a server that
// does not answer leaves the line as it is).
void ShowRemoteSpace(Pane& pane, const std::wstring& folder) {
    const std::wstring root = pf_remote_root(folder);
    SetLine(pane, root);
    struct Space {
        int ok = 0;
        int64_t free_bytes = 0, total_bytes = 0;
    };
    auto space = std::make_shared<Space>();
    auto cancel = std::make_shared<std::atomic<int>>(0);
    if (auto& asked = SpaceAsked[&pane]) {
        *asked = 1;
        CallOffRemoteReading(asked.get());
    }
    SpaceAsked[&pane] = cancel;
    AskAsideLatest(
        pane.DiskInfo,
        [space, folder, cancel] {
            PfRemoteCall* call = CallFor(cancel.get());
            space->ok = pf_remote_disk_space(call, folder, &space->free_bytes, &space->total_bytes);
            EndCall(cancel.get(), call);
        },
        [space, root, &pane] {
            if (!space->ok || Silent.count(&pane)) return;
            const int64_t unit = App.settings.DriveSizeUnit;
            SetLine(pane, root + L" " + FormatSize(space->free_bytes, 0, unit) + PaneDiskInfoOf +
                              FormatSize(space->total_bytes, 0, unit));
        },
        0);
}

// Adds the bytes of folder's files (and of its subfolders') to *bytes;
// false when folder cannot be read.
bool AddFolderBytes(PfRemoteCall* call, const std::wstring& folder, bool subfolders,
                    int64_t* bytes) {
    std::vector<RtDirEntry> entries;
    if (!pf_remote_dir_read(call, folder, &entries, nullptr, PfRemoteNoFollow)) return false;
    for (const RtDirEntry& e : entries) {
        if (e.name == L"." || e.name == L".." || (e.attributes & RtAttrLink)) continue;
        if (e.type != RtEntryFolder)
            *bytes += e.size;
        else if (subfolders && !pf_remote_call_cancelled(call))
            AddFolderBytes(call, pf_remote_child(folder, e.name) + L"/", true, bytes);
    }
    return true;
}

} // namespace

bool PaneIsRemote(const std::wstring& folder) {
    return pf_remote_is_location(folder) != 0;
}

bool ReadRemotePaneEntries(const std::wstring& folder, std::vector<RtDirEntry>* entries,
                           const std::atomic<int>* cancel, PaneReadFailure* failure, bool may_ask) {
    PfRemoteCall* call = CallFor(cancel);
    const bool ok = RemoteReadFolder(call, folder, entries, may_ask) != 0;
    if (!ok && failure) {
        failure->RemoteStatus = pf_remote_call_status(call);
        failure->Reason = RemoteFailureText(call);
        // Without questions, a declined login is one the user was not asked.
        failure->LoginNeeded =
            !may_ask && failure->RemoteStatus == PfRemoteCancelled && !(cancel && *cancel);
    }
    EndCall(cancel, call);
    return ok && !(cancel && *cancel);
}

void CallOffRemoteReading(const std::atomic<int>* cancel) {
    std::lock_guard guard(ReadsLock);
    auto at = Reads.find(cancel);
    if (at != Reads.end()) pf_remote_call_cancel(at->second);
}

void SetRemotePaneLocation(Pane& pane, const std::wstring& folder) {
    std::vector<std::wstring> chain; // folder and each folder above it
    for (std::wstring at = folder; !at.empty(); at = pf_remote_parent(at)) chain.push_back(at);
    std::reverse(chain.begin(), chain.end());
    const int64_t current = tk_list_current_row(ListOf(pane));
    const int64_t row = current < 0 ? 0 : current;
    PaneHistory h;
    ResetHistory(h, chain.empty() ? folder : chain.front());
    for (size_t i = 1; i < chain.size(); ++i) PushHistory(h, chain[i], row);
    SetPaneHistory(pane, std::move(h));
    if (const PaneSide* side = SideOf(pane))
        for (const DriveButtonRecord& b : App.*side->DriveButtons)
            if (b.Gadget) tk_gadget_set_state(b.Gadget, 0);
    ShowRemoteSpace(pane, folder);
}

void OpenTypedLocation(Pane& pane, const std::wstring& typed) {
    std::wstring folder = pf_remote_normalise(typed);
    if (folder.empty()) {
        PaneError(PaneHeadlineError, PaneNoSuchFolder + typed);
        if (const PaneSide* side = SideOf(pane))
            tk_gadget_set_text(side->PathField, PaneFolder(pane));
        return;
    }
    if (folder.back() != L'/') folder += L'/';
    RemoteRememberTyped(typed);
    SetRemotePaneLocation(pane, folder);
    ShowPath(pane, L"", ShowRefresh);
}

void RemoteGoUp(Pane& pane) {
    if (pane.History.Paths.size() >= 3) {
        ShowPath(pane, L"", ShowPop);
        return;
    }
    const std::wstring parent = pf_remote_parent(PaneFolder(pane));
    if (parent.empty()) return;
    SetRemotePaneLocation(pane, parent);
    ShowPath(pane, L"", ShowRefresh);
}

void RemoteListingFailed(Pane& pane, const PaneReadFailure& failure) {
    const std::wstring folder = PaneFolder(pane);
    if (!pane.Listed.Paths.empty()) PutBackListedFolder(pane);
    const bool rows_remote = PaneIsRemote(PaneFolder(pane));
    if (failure.LoginNeeded && rows_remote) {
        LoginWanted.insert(&pane);
        LoginShown.insert(&pane);
        SetLine(pane, PaneLoginNeeded + folder);
        return;
    }
    if (IsServerState(failure.RemoteStatus) && rows_remote) {
        Silent.insert(&pane);
        Grey(pane, true);
        SetLine(pane, failure.RemoteStatus == PfRemoteNotAnswering
                          ? PaneServerSilent + folder
                          : failure.Reason + L": " + folder);
        return;
    }
    if (failure.RemoteStatus == PfRemoteCancelled) return; // the user declined the login
    PaneError(PaneHeadlineError, PaneCannotList + folder + L"\n\n" + failure.Reason);
}

void RemoteListingCame(Pane& pane) {
    LoginWanted.erase(&pane);
    const bool login_shown = LoginShown.erase(&pane) != 0;
    const bool silent = Silent.erase(&pane) != 0;
    if (silent) Grey(pane, false);
    if ((silent || login_shown) && PaneIsRemote(PaneFolder(pane)))
        ShowRemoteSpace(pane, PaneFolder(pane));
}

bool PaneServerIsSilent(const Pane& pane) {
    return Silent.count(&pane) != 0;
}

void RemoteLoginOnEntry(Pane& pane) {
    if (!LoginWanted.erase(&pane) || !PaneIsRemote(PaneFolder(pane))) return;
    ShowPath(pane, L"", ShowRefresh); // a listing that may ask
}

bool PaneLoginIsNeeded(const Pane& pane) {
    return LoginWanted.count(&pane) != 0;
}

void RemoteDriveClicked(Pane& pane, const std::wstring& location, int64_t button,
                        bool right_click) {
    if (right_click) {
        ChosenDrive = location;
        if (!tk_menu_exists(MenuRemoteDrivePopup)) {
            tk_popup_menu_create(MenuRemoteDrivePopup);
            tk_menu_item_add(MenuRemoteDisconnect, PaneDisconnect);
        }
        tk_popup_menu_show(MenuRemoteDrivePopup, tk_window_handle(WinMain));
        return;
    }
    SetRemotePaneLocation(pane, location);
    tk_gadget_set_state(button, 1);
    ShowPath(pane, L"", ShowReset);
}

std::wstring TakeChosenRemoteDrive() {
    std::wstring chosen;
    chosen.swap(ChosenDrive);
    return chosen;
}

std::wstring PaneFolderForFile(const std::wstring& folder) {
    PfRemoteLocation location;
    if (!pf_remote_parse(folder, &location)) return folder;
    const std::string uri = pf_remote_uri(location);
    return std::wstring(uri.begin(), uri.end()); // ASCII
}

std::wstring PaneFolderFromFile(const std::wstring& kept) {
    if (!PaneIsRemote(kept)) return kept;
    PfRemoteLocation location;
    std::string uri;
    for (wchar_t c : kept) {
        if (c > 0x7F) return pf_remote_normalise(kept); // typed by hand, not encoded
        uri += static_cast<char>(c);
    }
    if (!pf_remote_parse_uri(uri, &location)) return L"";
    std::wstring text = pf_remote_text(location);
    if (text.empty() || text.back() != L'/') text += L'/';
    return text;
}

int64_t RemoteFolderSize(const std::wstring& folder, bool subfolders) {
    std::wstring path = folder;
    if (path.empty() || path.back() != L'/') path += L'/';
    PfRemoteCall* call = pf_remote_call_new();
    int64_t bytes = 0;
    const bool ok = AddFolderBytes(call, path, subfolders, &bytes);
    pf_remote_call_free(call);
    return ok ? bytes : -1;
}
