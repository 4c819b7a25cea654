// Folding names for comparison: the one transliteration the name sort and
// the quick search share, so that a name is found as it is sorted. Umlauts
// and "ß" become two letters ("Äpfel" as "aepfel", "Straße" as "strasse"),
// A-Z fold to lower case; the accented letters àâéèêùû sort right after
// their plain letter (the sort gives them a mark), and a search reads them
// as that letter. With natural order on, a run of digits compares by its
// value ("Foto 2" before "Foto 10") however long it is and whatever zeros
// lead it. Pure, any thread; the natural-order switch is one flag that the
// settings set on the main thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class NameFold {
    Sort,    // umlauts and ß as two letters, accents as letter and mark
    Spelled, // umlauts and ß as two letters, accents as the plain letter ("muell")
    Plain,   // umlauts and accents as the plain letter, ß as "ss" ("mull")
};

// Appends the fold of text to out. Digit runs are coded by value only for
// NameFold::Sort with natural set.
void AppendNameFold(std::vector<wchar_t>& out, std::wstring_view text, NameFold how, bool natural);

// Whether the name sort orders digit runs by their value (the setting
// "Zahlen in Namen nach Wert sortieren", on unless switched off).
bool NaturalNameOrder();
void SetNaturalNameOrder(bool on);
