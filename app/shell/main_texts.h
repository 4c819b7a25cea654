// German texts of the main window's own questions.
#pragma once

constexpr const wchar_t* QuitCaption = L"System Nachricht !";
constexpr const wchar_t* QuitHeadline = L"Tarn Rirevivuz";
constexpr const wchar_t* QuitText = L"wollen sie wirklich das Programm verlassen ?";
constexpr const wchar_t* QuitJobsText = L"Es laufen noch Aufträge. Trotzdem beenden?";

// Pane context menu.
constexpr const wchar_t* ContextCaption = L"Achtung !";
constexpr const wchar_t* ContextHeadline = L"Error !";
constexpr const wchar_t* ContextPropertiesCaption = L"Eigenschaften";
constexpr const wchar_t* ContextTrashFailed =
    L"Konnte nicht in den Papierkorb verschoben werden:\n";
constexpr const wchar_t* ContextShortcutFailed = L"Die Verknüpfung konnte nicht erstellt werden:\n";

// F5, F6 or F8 with neither a selected nor a current row.
constexpr const wchar_t* NothingChosenCaption = L"Achtung !";
constexpr const wchar_t* NothingChosen =
    L"Es ist keine Datei ausgewählt.\nWählen Sie zuerst eine Datei oder einen Ordner aus.";
