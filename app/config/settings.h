// Settings: the persisted part of App.settings and the file "Settings.pref".
//
// Owns the Settings fields of AppState (app/core/app_state.h) and the list
// font (App.settings.ListFont, a toolkit font number). Everything here runs
// on the main thread.
//
// Start-up calls LoadSettings once. When the file exists it reads every key
// (or its default, settings_keys.h), creates the list font, opens the main
// window, applies the font to both panes and shows each pane's start folder.
// When the file cannot be opened LoadSettings does nothing and returns 0; the
// caller then calls SettingsUseDefaults, which takes the defaults of the
// table and opens the window the same way, so the program never runs
// without its main window.
//
// Shutdown calls SaveSettings once, after the event loop and before the pane
// workers are stopped. It rewrites the whole file; a file that cannot be
// created is silently skipped. Nothing is shown for any settings error, and
// nothing is written to disk between start and exit.
#pragma once

#include <cstdint>
#include <string>

// Reads "Settings.pref" from the current folder and opens the main window.
// 1 when the file was read, 0 when it cannot be opened (nothing done).
int64_t LoadSettings();
// The halves of a start-up, which lists the start folders while the toolkit
// starts: ReadSettings reads every key into App.settings and the panes'
// histories without the toolkit (1; 0 when the file cannot be opened,
// nothing done), TakeDefaultSettings takes every default instead, and
// OpenSettingsWindow then fits the window to the desktop (when the file was
// read) and opens it as LoadSettings does.
int64_t ReadSettings();
void TakeDefaultSettings();
void OpenSettingsWindow();
// Takes every setting's default and opens the main window as LoadSettings does.
void SettingsUseDefaults();
// Writes every persisted setting into a new "Settings.pref". Returns 0.
int64_t SaveSettings();
// Sets the font of gadget 5, 10 or 47 to the list font and its text colour
// to App.settings.ListFontColor.
void ApplyListFont(int64_t gadget);

// The user's home folder from the password database with "/" at its end,
// "/" when there is none: the default start folder of both panes.
std::wstring HomeFolder();

// Brings the window fields into what a window can be, before anything
// computes with them: the size to at least 640 x 480, every value into the
// window system's coordinate range.
void ClampWindowGeometry();

// Keeps the stored window position on a single monitor: Y beyond its height
// becomes height - 20, then X beyond its width becomes width - 20. Does
// nothing with two or more monitors.
void ClampWindowToDesktop();

// What the settings ask of the system: the monitors (the toolkit's desktop
// queries) and the panes' default folder (HomeFolder). Tests replace them to
// act out one or two monitors of given sizes and a home inside a temporary
// folder.
struct SettingsSystem {
    int64_t (*DesktopCount)();
    int64_t (*DesktopWidth)(int64_t index);
    int64_t (*DesktopHeight)(int64_t index);
    std::wstring (*StartFolder)();
};
extern SettingsSystem SettingsQuery;
