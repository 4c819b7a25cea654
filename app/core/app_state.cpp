// The global AppState record: see app_state.h.
#include "app/core/app_state.h"

#include "app/core/ids.h"

AppState App;

void AppStateReset() {
    App = AppState{};
}

PaneState* PaneOf(int64_t pane) {
    if (pane == GadLeftPane) return &App.Panes[0];
    if (pane == GadRightPane) return &App.Panes[1];
    return nullptr;
}

int64_t OtherPane(int64_t pane) {
    return pane == GadLeftPane ? GadRightPane : GadLeftPane;
}
