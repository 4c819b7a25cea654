// Remote files opened through a local copy: see pane_remote_open.h.
#include "app/panes/pane_remote_open.h"

#include "app/core/answers.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/core/remote_ask.h"
#include "app/panes/pane.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_texts.h"
#include "app/panes/panes.h"
#include "platform/remote_copy.h"
#include "platform/remote_location.h"
#include "runtime/files.h"

#include <atomic>
#include <chrono>
#include <list>
#include <memory>
#include <thread>

namespace {

constexpr const wchar_t* TextFetchFailed = L"Kann die Datei nicht vom Server holen:\n";
constexpr const wchar_t* TextWriteBackHeadline = L"Datei geändert";
constexpr const wchar_t* TextWriteBackQuestion =
    L"Die bearbeitete Datei auf den Server zurückschreiben ?\n";
constexpr const wchar_t* TextChangedOnServer =
    L"Die Datei wurde auf dem Server inzwischen geändert. Trotzdem überschreiben ?\n";
constexpr const wchar_t* TextWriteBackFailed = L"Kann die Datei nicht zurückschreiben:\n";

// How often an edited copy is looked at: a look is one stat of a local file.
constexpr int WatchIntervalMs = 500;

// A fetched copy: shared by the main thread and the thread watching it.
struct Copy {
    PfRemoteFetched fetched; // main thread, except while a write-back runs
    std::atomic<bool> stop{false};
    bool writing = false; // main thread: a write-back is out
};
std::list<std::shared_ptr<Copy>> Copies; // main thread

int64_t Ask(const std::wstring& headline, const std::wstring& text) {
    return Messages.Dialog(MessageKindQuestion, PaneCaption, headline, text, MessageTwoButtons,
                           WinMain);
}

void WatchCopy(const std::shared_ptr<Copy>& copy);

// The panes showing folder list it again.
void RefreshPanesOf(const std::wstring& folder) {
    for (Pane* pane : EveryPane())
        if (PaneFolder(*pane) == folder && ListOf(*pane)) ShowPath(*pane, L"", ShowRefresh);
}

// Writes the copy back, with PfRemoteOverwrite once the user agreed to
// replace a file that changed on the server.
void WriteBack(const std::shared_ptr<Copy>& copy, int flags) {
    struct Result {
        int ok = 0, status = 0;
        std::wstring reason;
        PfRemoteFetched fetched;
    };
    auto r = std::make_shared<Result>();
    r->fetched = copy->fetched;
    copy->writing = true;
    AskAside(
        AskAnyTime,
        [r, flags] {
            PfRemoteCall* call = pf_remote_call_new();
            r->ok = pf_remote_write_back(call, &r->fetched, flags);
            r->status = pf_remote_call_status(call);
            r->reason = RemoteFailureText(call);
            pf_remote_call_free(call);
        },
        [r, copy, flags] {
            copy->writing = false;
            if (r->ok) {
                copy->fetched = r->fetched;
                RefreshPanesOf(pf_remote_parent(copy->fetched.remote));
            } else if (r->status == PfRemoteChanged && !(flags & PfRemoteOverwrite)) {
                if (Ask(TextWriteBackHeadline, TextChangedOnServer + copy->fetched.remote) ==
                    MessageAnswerOk)
                    return WriteBack(copy, PfRemoteOverwrite);
            } else {
                PaneError(PaneHeadlineFailure,
                          TextWriteBackFailed + copy->fetched.remote + L"\n\n" + r->reason);
            }
            WatchCopy(copy);
        },
        0);
}

// The copy changed: ask, then write back. Declined, the copy is left as it
// is and no longer watched.
void CopyChanged(const std::shared_ptr<Copy>& copy) {
    if (copy->stop || copy->writing) return;
    if (Ask(TextWriteBackHeadline, TextWriteBackQuestion + copy->fetched.remote) == MessageAnswerOk)
        WriteBack(copy, 0);
}

// Waits, off the main thread, for the copy to change.
void WatchCopy(const std::shared_ptr<Copy>& copy) {
    auto changed = std::make_shared<bool>(false);
    AskAside(
        AskAnyTime,
        [copy, changed, seen = copy->fetched] {
            while (!copy->stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(WatchIntervalMs));
                if (pf_remote_fetched_changed(seen)) {
                    *changed = true;
                    return;
                }
            }
        },
        [copy, changed] {
            if (*changed) CopyChanged(copy);
        },
        0);
}

} // namespace

void OpenRemoteFile(const std::wstring& location, bool edit,
                    std::function<void(const std::wstring& local)> start) {
    struct Result {
        int ok = 0;
        std::wstring reason;
        PfRemoteFetched fetched;
    };
    auto r = std::make_shared<Result>();
    AskAside(
        AskAnyTime,
        [r, location] {
            PfRemoteCall* call = pf_remote_call_new();
            r->ok = RemoteMounted(call, location) && pf_remote_fetch(call, location, &r->fetched);
            r->reason = RemoteFailureText(call);
            pf_remote_call_free(call);
        },
        [r, location, edit, start] {
            if (!r->ok)
                return PaneError(PaneHeadlineFailure,
                                 TextFetchFailed + location + L"\n\n" + r->reason);
            auto copy = std::make_shared<Copy>();
            copy->fetched = r->fetched;
            Copies.push_back(copy);
            start(copy->fetched.local);
            if (edit) WatchCopy(copy);
        },
        0);
}

void OpenRemoteEntry(Pane& pane, const std::wstring& entry, bool folder_row) {
    if (folder_row) {
        ShowPath(pane, entry + L"/", ShowPush);
        return;
    }
    OpenRemoteFile(entry, false, [](const std::wstring& local) {
        PaneShellOpen(local, L"", rt_path_folder(local));
    });
}

void DiscardRemoteCopies() {
    for (const auto& copy : Copies) {
        copy->stop = true;
        pf_remote_fetch_discard(&copy->fetched);
    }
    Copies.clear();
}
