// Pause, resume, cancel and the wait between steps: see control.h.
#include "runtime/control.h"

namespace {

void set_state(RtControl* control, int state) {
    if (!control) return;
    {
        std::lock_guard<std::mutex> hold(control->lock);
        // a cancel is final: neither pause nor resume undo it
        if (control->state.load() == RtControlCancelled) return;
        control->state.store(state);
    }
    control->changed.notify_all();
}

} // namespace

void rt_control_pause(RtControl* control) {
    set_state(control, RtControlPaused);
}

void rt_control_resume(RtControl* control) {
    set_state(control, RtControlRun);
}

void rt_control_cancel(RtControl* control) {
    set_state(control, RtControlCancelled);
}

bool rt_control_go_on(RtControl* control) {
    if (!control) return true;
    // the common case costs one atomic load, no lock
    int state = control->state.load(std::memory_order_acquire);
    if (state == RtControlPaused) {
        std::unique_lock<std::mutex> hold(control->lock);
        control->changed.wait(hold, [&] { return control->state.load() != RtControlPaused; });
        state = control->state.load();
    }
    return state != RtControlCancelled;
}
