// The global AppState record: see app_state.h.
#include "app/core/app_state.h"

#include "app/core/ids.h"

AppState App;

void AppStateReset() {
    App = AppState{};
}

int64_t OtherPane(int64_t pane) {
    return pane == GadLeftPane ? GadRightPane : GadLeftPane;
}
