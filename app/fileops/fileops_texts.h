// The German texts of copy, move, delete, new folder and rename, exactly as
// the user sees them (spelling included).
#pragma once

// ---- copy and move ----
constexpr const wchar_t* TextAttention = L"Achtung";
constexpr const wchar_t* TextCopyHeadline = L"Kopieren von Dateien !";
constexpr const wchar_t* TextMoveHeadline = L"Verschieben von Dateien !";
constexpr const wchar_t* TextCopyQuestion = L"Wollen Sie Dateien Kopieren nach ";
constexpr const wchar_t* TextMoveQuestion = L"Wollen Sie Dateien Verschieben nach ";
constexpr const wchar_t* TextQuestionEnd = L" ?";
constexpr const wchar_t* TextError = L"Error !";
constexpr const wchar_t* TextOtherFiles =
    L"Verzeichnis kann nicht in sich selbst verschoben werden, sollen die anderen Dateien "
    L"Verschoben werden ?";
constexpr const wchar_t* TextFolderIntoItself =
    L"Verzeichnis kann nicht in sich selbst verschoben werden!";
constexpr const wchar_t* TextFolderCopyOnItself =
    L"Verzeichnis kann nicht auf sich selbst Kopiert werden!";
constexpr const wchar_t* TextFolderMoveSameFolder =
    L"Verzeichnis kann nicht in in dem selben Verzeichnis verschoben werden!";
constexpr const wchar_t* TextFileCopyOnItself = L"Datei kann nicht auf sich selbst Kopiert werden!";
constexpr const wchar_t* TextFileMoveOnItself =
    L"Datei kann nicht auf sich selbst verschoben werden!";
constexpr const wchar_t* TextFolderExists = L"Verzeichnis Exsistiert bereits!";
constexpr const wchar_t* TextFolderOverwrite = L"soll das überschrieben werden ?";
constexpr const wchar_t* TextFileExists = L"Datei Exsistiert bereits!";
constexpr const wchar_t* TextFileOverwrite = L"soll diese überschrieben werden ?";

// ---- progress windows ----
constexpr const wchar_t* TextCopyTitle = L"Kopieren !";
constexpr const wchar_t* TextDeleteTitle = L"Löschen !";
constexpr const wchar_t* TextCurrentFileStart = L"TragetFile";
constexpr const wchar_t* TextFilePercentStart = L"File:  0%";
constexpr const wchar_t* TextTotalPercentStart = L"GesamtProzent:   0%";
constexpr const wchar_t* TextCancel = L"Abbrechen";
constexpr const wchar_t* TextPause = L"Anhalten";
constexpr const wchar_t* TextResume = L"Fortsetzen";
constexpr const wchar_t* TextWaiting = L"Wartet …";
constexpr const wchar_t* TextRetry = L"Erneut versuchen";
// Title of the list of what a job could not do.
constexpr const wchar_t* TextFailuresTitle = L"Fehlgeschlagene Dateien";
constexpr const wchar_t* TextClose = L"Schließen";
constexpr const wchar_t* TextCopying = L"Kopiere : ";
constexpr const wchar_t* TextFilePercent = L"File:";
constexpr const wchar_t* TextTotalPercent = L"GesamtProzent:";
constexpr const wchar_t* TextPercent = L"%";
constexpr const wchar_t* TextCopyFailedTitle = L"Copy...";
constexpr const wchar_t* TextCopyFailed = L"Kopieren nicht erfolgreich";
constexpr const wchar_t* TextDeleteFailedTitle = L"Delete...";
constexpr const wchar_t* TextDeleteFailed = L"Löschen nicht erfolgreich";

// ---- delete ----
constexpr const wchar_t* TextDeleteHeadline = L"Löschen !";
constexpr const wchar_t* TextDeleteQuestion = L"wollen sie wirklich die Daten Löschen !";
constexpr const wchar_t* TextNotEmptyHeadline = L"Achtung !";
constexpr const wchar_t* TextNotEmptyQuestion =
    L"Verzeichnis ist nicht leer !\nwollen sie wirklich das Verzeichnis Löschen ?";

// ---- new folder and rename ----
constexpr const wchar_t* TextNewFolderTitle = L"Verzeichnis erstellen !";
constexpr const wchar_t* TextOk = L"Ok";
constexpr const wchar_t* TextAbort = L"Abbruch";
constexpr const wchar_t* TextNewFolderFailed = L"Verzeichnis konnte nicht erstellt werden !";
constexpr const wchar_t* TextRenameOk = L">";
constexpr const wchar_t* TextRenameFailed = L"Umbenennen nicht möglich:\n";
