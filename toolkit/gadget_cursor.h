// The busy cursor over one gadget: a pane whose folder is still being read
// shows it, while every other gadget keeps its own cursor. Main thread only.
#pragma once

#include <cstdint>

// on 1: the wait cursor over the gadget (the gadget stays usable); on 0: its
// normal cursor again. Does nothing for an absent gadget.
void tk_gadget_busy_cursor(int64_t gadget, int64_t on);
// 1 while the gadget shows the busy cursor set by tk_gadget_busy_cursor.
int64_t tk_gadget_is_busy(int64_t gadget);
