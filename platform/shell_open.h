// Opening files the way the desktop does, and the applications behind it.
//
// pf_shell_open starts an executable regular file directly (its parameters
// split like every program start, see runtime/program.h) and opens anything
// else, including a file marked executable that is no program, with the
// application the desktop associates with its MIME type (GIO's default
// application for the content type), xdg-open as the last resort. A URL goes
// to the desktop's handler for its scheme. Started programs run detached in
// a session of their own, in the given folder, and leave no zombie behind.
// pf_shell_open_install makes it the runtime's "shell open", which program
// starts fall back to.
//
// pf_editor_program names the text editor; pf_apps_for_type and
// pf_app_launch serve an "open with" choice.
//
// Called on the main thread; nothing here waits for a started program.
#pragma once
#include <string>
#include <vector>

// Opens or starts file. A relative file counts from folder. params are used
// only when file is started as a program; folder is the working folder
// (empty: the caller's own).
// Returns 1 when something was started, 0 otherwise.
int pf_shell_open(const std::wstring& file, const std::wstring& params, const std::wstring& folder);

// Opens the file at path with the application the desktop associates with
// its type (xdg-open as the last resort), never running it, even when it is
// marked executable: what viewing a file without a chosen viewer does.
// A relative path counts from folder, the working folder. 1 when started.
int pf_open_document(const std::wstring& path, const std::wstring& folder);

// Installs pf_shell_open as the runtime's shell open.
void pf_shell_open_install();

// The editor program: the executable of the default application for
// text/plain, or of another application for it, that is no console program
// (a desktop entry with Terminal=true is passed over); else the first known
// editor on the search path, else "xdg-open". A full path when it was found
// on the search path.
std::wstring pf_editor_program();

// The executable of the first application for a MIME type ("text/plain")
// that is no console program, the desktop's default first; "" when none.
std::wstring pf_graphical_program_for_type(const std::string& type);

// An application that can open a file, for an "open with" menu.
struct PfApp {
    std::wstring name; // display name, in the desktop's language
    std::wstring id;   // desktop file id ("org.gnome.TextEditor.desktop")
};

// The applications that handle the MIME type of path, default first.
std::vector<PfApp> pf_apps_for_type(const std::wstring& path);

// Opens path with the application of the given id. 1 when started.
int pf_app_launch(const std::wstring& id, const std::wstring& path);
