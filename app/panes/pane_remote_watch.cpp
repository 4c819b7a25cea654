// Opening a remote folder's monitor for a pane's watcher: see
// pane_remote_watch.h.
#include "app/panes/pane_remote_watch.h"

#include "app/panes/dir_watcher.h"
#include "app/panes/pane.h"
#include "app/panes/pane_changed.h"
#include "app/panes/pane_sides.h"
#include "platform/remote_watch.h"

RemoteWatchOpenFn RemoteWatchOpener = pf_remote_watch_open;

int64_t OpenRemoteWatch(DirWatchRun& r) {
    PfRemoteCall* call = pf_remote_call_new();
    {
        std::lock_guard guard(r.Lock);
        if (r.Stop.load()) {
            pf_remote_call_free(call);
            return 0;
        }
        r.Opening = call;
    }
    const int64_t handle = RemoteWatchOpener(call, r.Path);
    {
        // After this no stop reaches the call: it may go.
        std::lock_guard guard(r.Lock);
        r.Opening = nullptr;
    }
    pf_remote_call_free(call);
    return handle;
}

void MarkUnwatchedRemotePanes() {
    for (Pane* pane : EveryPane()) {
        const DirWatchRun* run = pane->Watcher.Run.get();
        if (run && run->Remote && !run->Handle.load() && ListOf(*pane)) MarkPaneChanged(*pane);
    }
}
