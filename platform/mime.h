// Type names and type icons of files, from the desktop's MIME database.
//
// pf_type_name gives the German description of a file's MIME type
// ("Einfaches Textdokument", "PNG-Bild", "Leeres Dokument"), whatever the
// user's own locale; folders are "Dateiordner". pf_type_icon gives the
// freedesktop icon of the type (its icon name, then its generic icon name)
// from the Adwaita theme and then hicolor, as size x size pixels.
//
// Both are called from the panes' worker threads (one type-name and one icon
// worker per pane) and so use nothing that belongs to the GUI thread: types
// are guessed through GIO's copy of the shared-mime-info tables (locked
// inside GIO), the comments come from Qt's thread-safe MIME database, icon
// files are found by reading the themes' index files and decoded into plain
// images. Icons are cached per MIME type
// and size under a mutex for the life of the process; the caller owns the
// pixel vector it passes in.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Makes the MIME comments German by setting Qt's default locale to German.
// Call once at start-up on the main thread before any worker starts: Qt's
// default locale must not change while other threads use locales. The
// queries below call it too, for programs (tests) that do not.
void pf_mime_init();

// "Dateiordner" when is_folder is nonzero; otherwise the German comment of
// the file's MIME type: by name, and by contents only for a regular file
// whose name matches no type. FIFOs, sockets and devices are never opened.
std::wstring pf_type_name(const std::wstring& path, int is_folder);

// The same lookup as a number for the type (1, 2, ... in the order types are
// first met; a number keeps its type for the life of the process), so that
// workers can look a type up once and share its comment and icon.
int pf_mime_lookup(const std::wstring& path, int is_folder);
// The German comment of a type number; empty for an unknown number.
std::wstring pf_mime_comment(int number);
// 1 when the number is the folder type.
int pf_mime_is_folder(int number);
// As pf_type_icon, for a type number.
int pf_mime_icon(int number, int size, std::vector<uint32_t>& rgba);

// Fills rgba with size x size pixels 0xAARRGGBB (rows top to bottom) of the
// type's icon and returns 1; returns 0 and leaves rgba empty when the themes
// have no icon for the type or size is not positive.
int pf_type_icon(const std::wstring& path, int is_folder, int size, std::vector<uint32_t>& rgba);

// Decodes the icon file (PNG, SVG, XPM) at size x size into rgba as above;
// 0 when it cannot be read.
int pf_icon_file_pixels(const std::string& file, int size, std::vector<uint32_t>& rgba);
