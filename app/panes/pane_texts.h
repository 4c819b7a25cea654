// German texts the panes show: message captions, headlines and message
// bodies, the unit names of size texts and the date mask of the listing.
// Constants only; the procedures that show them live beside their callers.
#pragma once

#include <array>

// Caption of every pane message window.
inline constexpr const wchar_t* PaneCaption = L"Achtung !";
// Headlines: a folder that is missing or unreadable, a drive that cannot be
// opened.
inline constexpr const wchar_t* PaneHeadlineError = L"Error !";
inline constexpr const wchar_t* PaneHeadlineFailure = L"Fehler !";

// A listing failed: text + folder + PaneCannotListTail.
inline constexpr const wchar_t* PaneCannotList = L"Kann das angebene Verzeichnis nicht öffnen:\n";
inline constexpr const wchar_t* PaneCannotListTail = L"\n\nEventuell keine Rechte !";
// A typed path is no folder: text + the path as typed.
inline constexpr const wchar_t* PaneNoSuchFolder =
    L"Das angegebene Verzeichnis Exsitiert nicht !\n";
// A drive button's mount point cannot be listed: text + mount point.
inline constexpr const wchar_t* PaneCannotOpenDrive =
    L"Kann das angegebene Verzeichnis nicht öffnen:\n";

// Separator between free and total space in the disk information line.
inline constexpr const wchar_t* PaneDiskInfoOf = L" von ";

// Unit names of FormatSize; unit u is entry u, each 1024 times the one before.
inline constexpr std::array<const wchar_t*, 7> SizeUnitNames = {L"Byte", L"KB", L"MB", L"GB",
                                                                L"TB",   L"PB", L"EB"};

// Date column of a listing: two blanks between date and time.
inline constexpr const wchar_t* PaneDateMask = L"%dd.%mm.%yyyy  %hh:%ii:%ss";
