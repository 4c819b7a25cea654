// The tabs of both sides in "Settings.pref": a group of their own, "Reiter",
// beside the keys that were there before, which keep their meaning ("Paht0"
// and "Paht1" name the folders the sides show). Per side ("Links" and
// "Rechts"): the number of tabs, the place of the shown one, and each tab's
// folder and lock. A file without the group gives one tab a side.
//
// Reading runs with the settings file open, before the toolkit (no gadget
// is touched): the shown tab of each side is the pane the "Paht" key filled,
// every other tab a pane that is read only when it is first shown. Writing
// runs with the file being written. Main thread only.
#pragma once

// Reads the group into the sides' tabs and App.settings.TabsAlwaysShown.
void ReadTabSettings();
// Writes the group from the sides' tabs; nothing with one unlocked tab a
// side and the row not always shown.
void WriteTabSettings();
