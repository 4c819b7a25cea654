// Chief header of the toolkit's objects: windows, gadgets and their items,
// lists, menus and the toolbar, images, fonts and requesters. Every object is
// named by a number the application chooses (-1 asks for a fresh one, which
// the creating call returns); an operation on an absent number does nothing
// and returns 0. Everything here runs on the main thread, except the row
// operations of list gadgets (see toolkit/list.h), which any thread may call.
// Texts are std::wstring; colours are 0xBBGGRR.
#pragma once

#include "toolkit/assets.h"
#include "toolkit/events.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/images.h"
#include "toolkit/list.h"
#include "toolkit/menus.h"
#include "toolkit/requesters.h"
#include "toolkit/widgets.h"
#include "toolkit/window_icon.h"
#include "toolkit/windows.h"
