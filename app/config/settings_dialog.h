// The settings dialog "Konfiguration" (window 28): a page list ("Allgemein",
// "Schriften") and one page at a time. Every control writes its setting into
// App.settings at once; "Anehmen" (close) and "Anwenden" (stay open) push
// the changes to the panes and refill the filter boxes. The main window is
// disabled while the dialog is open. Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The dialog's "any"-numbered gadgets, overwritten each time it is built,
// and the change flags (0/1) cleared when the changes are pushed.
struct SettingsDialogState {
    std::array<int64_t, 10> SettingsButtons{}; // [0] "Auswahl", [1] "Ändern"
    std::array<int64_t, 10> SettingsPages{};   // [0] "Allgemein", [1] "Schriften"
    std::array<int64_t, 10> SettingsChecks{};  // remember, hidden, system, verify, trash, tabs always
    std::array<int64_t, 10> SettingsCombos{};  // file unit, drive unit
    std::array<int64_t, 10> SettingsFields{};  // [0] viewer text
    std::array<int64_t, 10> SettingsLabels{};  // [0] viewer label
    int64_t SizeUnitChanged = 0;
    int64_t FontChanged = 0;
    int64_t FileDisplayChanged = 0;
};
extern SettingsDialogState SettingsDialog;

// Disables the main window and builds window 28 from the current settings.
void OpenSettingsDialog(const std::wstring& title, int64_t x, int64_t y, int64_t width,
                        int64_t height);
// The main window's menu item: opens "Konfiguration".
void SettingsDialogCommand();
// Handler of window 28; always 0.
int64_t SettingsDialogEvent(int64_t value);
// Runs the font requester on the list font; 2 when a font was chosen (the
// list font is then replaced, underline and strike-out dropped), 0 when
// cancelled.
int64_t ChooseListFont(int64_t gadget);
// ViewerPath as the dialog shows it: up to 64 characters whole, longer ones
// as "..." and their last 58 characters.
std::wstring ViewerText(const std::wstring& path);
