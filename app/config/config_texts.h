// Texts of the configuration dialogs and the button bar.
#pragma once

// ---- button bar ----
constexpr const wchar_t* ButtonBarDataFolder = L"Data/";
constexpr const wchar_t* ButtonBarFileName = L"Toolbar.bar";
constexpr const wchar_t* DefaultButtonTooltip = L"Notepad";
constexpr const wchar_t* ConfigCaption = L"Achtung !";
constexpr const wchar_t* ConfigHeadline = L"Error !";
constexpr const wchar_t* ButtonPathMissing = L"Die Datei der Schaltfläche Exsitiert nicht !\n";
constexpr const wchar_t* ButtonBarNotSaved = L"Die ButtonBar konnte nicht gespeichert werden !\n";

// ---- settings dialog ----
constexpr const wchar_t* SettingsTitle = L"Konfiguration";
constexpr const wchar_t* SettingsTitleAfterFont = L"Konfiguaration";
constexpr const wchar_t* PageGeneral = L"Allgemein";
constexpr const wchar_t* PageFonts = L"Schriften";
constexpr const wchar_t* CheckRemember = L"Fensterposition merken ";
constexpr const wchar_t* CheckHidden = L"Versteckte Dateien anzeigen ";
constexpr const wchar_t* CheckSystem = L"System Dateien anzeigen ";
constexpr const wchar_t* CheckVerify = L"Kopien prüfen";
constexpr const wchar_t* CheckTrash = L"Löschen in den Papierkorb";
constexpr const wchar_t* CheckTabsAlways = L"Reiter immer zeigen";
constexpr const wchar_t* SizeUnitsLabel = L"größenangaben für Dateien und Laufwerke";
constexpr const wchar_t* FilesLabel = L"Dateien:";
constexpr const wchar_t* DrivesLabel = L"Laufwerke:";
constexpr const wchar_t* ViewerLabel = L"Auswahl von Dateibetrachter:";
constexpr const wchar_t* ViewerButton = L"Auswahl";
constexpr const wchar_t* FilterLabel = L"Filter mit | trennen:";
constexpr const wchar_t* ListFontLabel = L"Listenfont: ";
constexpr const wchar_t* FontSample = L"ABCDEFGHIJKLMNOPXRSTVXYZ abcdefghijklmnopqrstvwxyz";
constexpr const wchar_t* FontButton = L"Ändern";
constexpr const wchar_t* AcceptButton = L"Anehmen";
constexpr const wchar_t* ApplyButton = L"Anwenden";
constexpr const wchar_t* UnitTexts = L"Byte,Kilo-Byte,Mega-Byte,Giga-Byte";
constexpr const wchar_t* ViewerRequesterTitle = L"Viewer Auswahl !";
constexpr const wchar_t* ViewerRequesterPattern = L"Programm (*.exe) | *.exe";

// ---- button bar editor ----
constexpr const wchar_t* EditorTitle = L"ButtonBar Einstellungen";
constexpr const wchar_t* EditorInsert = L"Einfügen";
constexpr const wchar_t* EditorDelete = L"Löschen";
constexpr const wchar_t* EditorMore = L">>";
constexpr const wchar_t* EditorAction = L"Action";
constexpr const wchar_t* EditorParameter = L"Parameter";
constexpr const wchar_t* EditorPath = L"Pfad";
constexpr const wchar_t* EditorIconFile = L"Icondatei";
constexpr const wchar_t* EditorTooltip = L"Tootip";
constexpr const wchar_t* EditorApply = L"Anwenden";
constexpr const wchar_t* EditorCancel = L"Abbruch";
constexpr const wchar_t* EditorRequesterTitle = L"Programm Auswählen!";
constexpr const wchar_t* EditorRequesterPattern = L".exe";
