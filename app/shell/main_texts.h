// German texts of the main window's own questions.
#pragma once

constexpr const wchar_t* QuitCaption = L"System Nachricht !";
constexpr const wchar_t* QuitHeadline = L"Tarn Rirevivuz";
constexpr const wchar_t* QuitText = L"wollen sie wirklich das Programm verlassen ?";
