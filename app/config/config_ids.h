// Gadget numbers and fixed values of the settings dialog (window 28) and the
// button bar editor (window 51).
#pragma once

#include "toolkit/windows.h"

#include <cstdint>

// ---- settings dialog ----
enum : int64_t {
    GadSettingsPages = 29, // page list
    GadSettingsAccept = 30,
    GadSettingsApply = 31,
    GadSettingsFilter = 32,
};
constexpr int64_t SettingsWindowFlags = TkWindowDialog | TkWindowCentreOnParent;
constexpr int64_t SettingsWidth = 460;
constexpr int64_t SettingsHeight = 270;
constexpr int64_t SettingsPageColor = 0xEECD8B; // RGB(139, 205, 238) as 0xBBGGRR
constexpr int64_t SettingsArraySize = 10;
constexpr int64_t ViewerTextMax = 64;  // longer viewer paths are shortened
constexpr int64_t ViewerTextTail = 58; // to "..." and their last characters

// ---- button bar editor ----
enum : int64_t {
    GadEditorUnused52 = 52,
    GadEditorUnused53 = 53,
    GadEditorInsert = 54,
    GadEditorDelete = 55,
    GadEditorStrip = 56,
    GadEditorStripScroll = 57,
    GadEditorAction = 58,
    GadEditorParameter = 59,
    GadEditorPath = 60,
    GadEditorIconFile = 61,
    GadEditorIconCanvas = 62,
    GadEditorIconScroll = 63,
    GadEditorIconMore = 64,
    GadEditorTooltip = 65,
    GadEditorApply = 66,
    GadEditorCancel = 67,
};
constexpr int64_t EditorWidth = 550;
constexpr int64_t EditorHeight = 350;
constexpr int64_t EditorIconGap = 6;            // pitch = icon width + gap
constexpr int64_t EditorIconTop = 4;            // y of the icons on the strip
constexpr int64_t EditorDragOpacity = 160;      // of 255
constexpr int64_t EditorSelectColor = 0xDE390F; // RGB(15, 57, 222)
constexpr int64_t EditorWhite = 0xFFFFFF;

// ---- toolbar 2 ----
constexpr int64_t ToolbarX = 10;
constexpr int64_t ToolbarY = 0;
constexpr int64_t ToolbarWidth = 400;
constexpr int64_t ToolbarHeight = 32;
