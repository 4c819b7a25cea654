// The keys of "Settings.pref" as one table: group, key, the Settings field
// it fills, its default and the comment written above its group. Loading and
// saving both walk this table; the two orders below differ only where the
// file has always been read and written in different orders (the units).
// Main thread only; constant data.
#pragma once

#include <cstdint>
#include <string>

#include "app/core/app_state.h"

// Named rows of SettingKeys, in the order the file is written.
enum SettingIndex : int {
    KeyPosOn,
    KeyX,
    KeyY,
    KeyWidth,
    KeyHeight,
    KeyCenter, // read only: open the window 1020 x 630
    KeyFensterMax,
    KeyShowHidden,
    KeyShowSystem,
    KeyFontName,
    KeyFontBold,
    KeyFontItalic,
    KeyFontSize,
    KeyPaht0, // left pane's folder
    KeyPaht1, // right pane's folder
    KeyFileUnit,
    KeyDriveUnit,
    KeyViewer,
    KeyFilter,
    KeyQuickSearch,
    KeyNaturalOrder,
    KeyPatternFolders,
    KeyVerify,
    KeyTrashOnDelete,
    KeyCount
};

struct SettingKey {
    const wchar_t* Group;
    const wchar_t* Key;
    int64_t Settings::*Number;    // integer field, or null
    std::wstring Settings::*Text; // text field, or null
    int64_t Default;              // default of an integer key
    const wchar_t* DefaultText;   // default of a text key; null = the home folder
    int Pane;                     // 0 left, 1 right for the pane folders, else -1
    const wchar_t* Comment;       // written before the group when saving, or null
};

// clang-format off
inline const SettingKey SettingKeys[] = {
    {L"Fenster", L"PosOn", &Settings::RememberWindow, nullptr, 0, nullptr, -1, L"Die Kordinaten vom Fenster"},
    {L"Fenster", L"X", &Settings::WindowX, nullptr, 0, nullptr, -1, nullptr},
    {L"Fenster", L"Y", &Settings::WindowY, nullptr, 0, nullptr, -1, nullptr},
    {L"Fenster", L"Width", &Settings::WindowWidth, nullptr, 640, nullptr, -1, nullptr},
    {L"Fenster", L"Height", &Settings::WindowHeight, nullptr, 480, nullptr, -1, nullptr},
    {L"Fenster", L"Center", nullptr, nullptr, 0, nullptr, -1, nullptr},
    {L"Fenster", L"FensterMax", &Settings::WindowMaximized, nullptr, 0, nullptr, -1, nullptr},
    {L"Dateien", L"Versteckte Dateien", &Settings::ShowHidden, nullptr, 0, nullptr, -1, L"Dateieigenschaften"},
    {L"Dateien", L"System Dateien", &Settings::ShowSystem, nullptr, 0, nullptr, -1, nullptr},
    {L"Schrift", L"Listenfensterschrift", nullptr, &Settings::ListFontName, 0, L"", -1, L"Schriftarten"},
    {L"Schrift", L"Style fett", &Settings::ListFontBold, nullptr, 0, nullptr, -1, nullptr},
    {L"Schrift", L"Style Italic", &Settings::ListFontItalic, nullptr, 0, nullptr, -1, nullptr},
    {L"Schrift", L"Schrift Size", &Settings::ListFontSize, nullptr, 0, nullptr, -1, nullptr},
    {L"Paht", L"Paht0", nullptr, nullptr, 0, nullptr, 0, nullptr},
    {L"Paht", L"Paht1", nullptr, nullptr, 0, nullptr, 1, nullptr},
    {L"Größenanzeige", L"Dateien", &Settings::FileSizeUnit, nullptr, 0, nullptr, -1, nullptr},
    {L"Größenanzeige", L"Laufwerke", &Settings::DriveSizeUnit, nullptr, 0, nullptr, -1, nullptr},
    {L"Viewer", L"Viewer.exe", nullptr, &Settings::ViewerPath, 0, L"", -1, nullptr},
    {L"List Filter", L"Filter", nullptr, &Settings::ListFilter, 0, L"", -1, nullptr},
    {L"Bedienung", L"Schnellsuche", &Settings::QuickSearch, nullptr, 0, nullptr, -1, L"Tastatur und Reihenfolge"},
    {L"Bedienung", L"Zahlen nach Wert", &Settings::NaturalOrder, nullptr, 1, nullptr, -1, nullptr},
    {L"Bedienung", L"Muster mit Ordnern", &Settings::PatternFolders, nullptr, 0, nullptr, -1, nullptr},
    {L"Kopieren", L"Kopien prüfen", &Settings::VerifyCopies, nullptr, 0, nullptr, -1, L"Kopieren und Verschieben"},
    {L"Löschen", L"Papierkorb", &Settings::TrashOnDelete, nullptr, 0, nullptr, -1, L"Löschen in den Papierkorb"},
};
// clang-format on
static_assert(sizeof SettingKeys / sizeof SettingKeys[0] == KeyCount, "one row per SettingIndex");

// Keys after the window group, in the order LoadSettings reads them: the
// drive unit is read before the file unit.
inline constexpr SettingIndex SettingsLoadTail[] = {
    KeyShowHidden, KeyShowSystem, KeyFontName,  KeyFontBold, KeyFontItalic, KeyFontSize,
    KeyPaht0,      KeyPaht1,      KeyDriveUnit, KeyFileUnit, KeyViewer,     KeyFilter,
    KeyQuickSearch, KeyNaturalOrder, KeyPatternFolders, KeyVerify, KeyTrashOnDelete,
};
// Keys after the window group, in the order SaveSettings writes them.
inline constexpr SettingIndex SettingsSaveTail[] = {
    KeyShowHidden, KeyShowSystem, KeyFontName, KeyFontBold,  KeyFontItalic, KeyFontSize,
    KeyPaht0,      KeyPaht1,      KeyFileUnit, KeyDriveUnit, KeyViewer,     KeyFilter,
    KeyQuickSearch, KeyNaturalOrder, KeyPatternFolders, KeyVerify, KeyTrashOnDelete,
};
static_assert(sizeof SettingsLoadTail == sizeof SettingsSaveTail,
              "load and save cover the same keys");

// Size the window opens with when "Center" is set, and the size saved for a
// maximized window.
inline constexpr int64_t CenteredWidth = 1020;
inline constexpr int64_t CenteredHeight = 630;
// Distance kept from a monitor's right and bottom edge when a stored position
// lies beyond it.
inline constexpr int64_t DesktopEdgeMargin = 20;
// Whatever the file says, the window opens at least this large (its minimum
// size), and no coordinate or size leaves the range the window system takes.
inline constexpr int64_t MinimumWindowWidth = 640;
inline constexpr int64_t MinimumWindowHeight = 480;
inline constexpr int64_t WindowCoordinateLimit = 32767;
// The gap between the pane frames and the F-key buttons given to BuildMainWindow.
inline constexpr int64_t MainButtonOffset = 60;
// The settings file, relative to the current folder.
inline constexpr const wchar_t* SettingsFileName = L"Settings.pref";
