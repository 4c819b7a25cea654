// The quick search field of the pane lists: see quick_search_field.h.
#include "app/panes/quick_search_field.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane_bottom.h"
#include "app/panes/quick_search.h"
#include "toolkit/gadgets.h"
#include "toolkit/timers.h"

#include <array>
#include <cctype>

int64_t QuickSearchPauseMs = 3000;

namespace {

enum : int64_t {
    SearchLetters = 0,    // plain letters search
    SearchAltLetters = 1, // Alt+letter searches, plain letters go to the command line
    SearchOff = 2,
};

// Field colours: a text that matches no name shows on a pale red.
constexpr int64_t FieldColor = 0xE1FFFF;   // pale yellow (0xBBGGRR)
constexpr int64_t NoMatchColor = 0xC8C8FF; // pale red

struct SearchState {
    bool Open = false;
    std::wstring Typed;
    int64_t Keys = 0; // keys taken so far: a pause timer of an older key is stale
    QuickSearchIndex Index;
    uint64_t Settling = 0; // the rows' revision the idle timer saw last
};
std::array<SearchState, std::size(PaneBottoms)> States{};

SearchState* StateOf(int64_t list) {
    const PaneBottom* b = BottomOf(list);
    return b ? &States[static_cast<size_t>(b - PaneBottoms)] : nullptr;
}

void IndexRow(int64_t, const wchar_t* text, size_t length, int64_t, uint32_t, intptr_t user) {
    const std::wstring_view row(text, length);
    QuickSearchAddName(*reinterpret_cast<QuickSearchIndex*>(user), row.substr(0, row.find(L'\n')));
}

// The index of the rows as they are now; built again only when they changed
// (a listing, the filter, the watcher, a sort).
const QuickSearchIndex& IndexOf(int64_t list, SearchState& s) {
    const uint64_t revision = tk_list_content_revision(list);
    if (s.Index.Revision != revision || QuickSearchRows(s.Index) != tk_gadget_count_items(list)) {
        QuickSearchClear(s.Index);
        s.Index.Spelled.reserve(static_cast<size_t>(tk_gadget_count_items(list)) * 24);
        tk_list_visit_rows(list, IndexRow, reinterpret_cast<intptr_t>(&s.Index));
        s.Index.Revision = revision;
    }
    return s.Index;
}

// Every so often the index of a pane whose rows changed is built while
// nobody types, so that the first key after a listing finds it ready; not
// while the rows still change (the workers writing type names), which would
// build it again and again and hold the workers up meanwhile.
constexpr int64_t IndexIdleMs = 700;

void IndexSettled(bool at_once) {
    for (const PaneBottom& b : PaneBottoms) {
        SearchState* s = StateOf(b.List);
        if (s->Open || !tk_gadget_exists(b.List)) continue;
        const uint64_t revision = tk_list_content_revision(b.List);
        if (at_once || revision == s->Settling) IndexOf(b.List, *s);
        s->Settling = revision;
    }
}

void IndexWhileIdle(intptr_t) {
    IndexSettled(false);
}

void ShowField(int64_t list, const SearchState& s, bool found) {
    const PaneBottom* b = BottomOf(list);
    tk_gadget_set_text(b->QuickSearch, s.Typed);
    tk_gadget_set_color(b->QuickSearch, TkColorBack, found ? FieldColor : NoMatchColor);
    tk_gadget_hide(b->QuickSearch, 0);
}

void PauseOver(intptr_t data) {
    // data: side index in the low byte, the key count above
    const size_t side = static_cast<size_t>(data & 0xFF);
    if (side < States.size() && States[side].Keys == static_cast<int64_t>(data >> 8))
        CloseQuickSearch(PaneBottoms[side].List);
}

void ArmPause(int64_t list, SearchState& s) {
    ++s.Keys;
    const auto side = static_cast<intptr_t>(BottomOf(list) - PaneBottoms);
    tk_timer_start(QuickSearchPauseMs, PauseOver, (static_cast<intptr_t>(s.Keys) << 8) | side);
}

// Moves the current row (selecting it alone, as an arrow key does) to the
// match from `from` on; the field shows whether there was one.
void Seek(int64_t list, SearchState& s, int64_t from, int step) {
    const int64_t row =
        QuickSearchFind(IndexOf(list, s), QuickSearchFoldTyped(s.Typed), from, step);
    if (row >= 0 && row != tk_list_current_row(list)) {
        tk_gadget_set_state(list, row);
        tk_list_ensure_visible(list, row);
    }
    ShowField(list, s, row >= 0);
}

// A letter or digit starts a search; other characters (punctuation, "+"
// of the number pad) keep their own meaning. Beyond ASCII every letter
// counts, whatever the C library's locale says of it.
bool Starts(wchar_t c) {
    if (c < 0x80) return std::isalnum(static_cast<unsigned char>(c)) != 0;
    return c >= 0xC0 && c != 0xD7 && c != 0xF7;
}

// Alt+letter types nothing on some keyboards: the letter of its code then.
std::wstring TypedOf(int64_t shortcut, const std::wstring& text) {
    if (!text.empty() || !(shortcut & TkShortcutAlt)) return text;
    const int64_t key = shortcut & 0xFFFF;
    if (key >= 'A' && key <= 'Z') return std::wstring(1, wchar_t(key - 'A' + 'a'));
    if (key >= '0' && key <= '9') return std::wstring(1, wchar_t(key));
    return text;
}

// A plain letter with "Alt+Buchstaben": it starts the command line.
int64_t ToCommandLine(const std::wstring& text) {
    tk_gadget_activate(GadCommandLine);
    tk_string_insert(GadCommandLine, text);
    return 1;
}

// The search goes on: the pause starts again and the row moves to the
// match from `from` on.
int64_t SeekOn(int64_t list, SearchState& s, int64_t from, int step) {
    ArmPause(list, s);
    Seek(list, s, from, step);
    return 1;
}

constexpr int64_t KeyUp = 38, KeyDown = 40;

// A key while the field is open.
int64_t OpenKey(int64_t list, SearchState& s, int64_t shortcut, const std::wstring& text) {
    const int64_t current = tk_list_current_row(list);
    switch (shortcut) {
    case KeyEscape: CloseQuickSearch(list); return 1;
    case KeyDown: return SeekOn(list, s, current + 1, 1);
    case KeyUp: return SeekOn(list, s, current - 1, -1);
    case KeyReturn: // the row opens as with Return
        CloseQuickSearch(list);
        tk_event_post(EventGadget, WinMain, list, EventTypeLeftDoubleClick);
        return 1;
    case KeyNumPlus: // the number pad's "+", "-" and "*" select, also during a search
    case KeyNumMinus:
    case KeyNumMultiply: CloseQuickSearch(list); return 0;
    case KeyBackspace:
        s.Typed.pop_back();
        if (!s.Typed.empty()) return SeekOn(list, s, 0, 1);
        CloseQuickSearch(list);
        return 1;
    default: break;
    }
    const bool alt = shortcut & TkShortcutAlt;
    const std::wstring typed = TypedOf(shortcut, text);
    if (!typed.empty() && alt == (App.settings.QuickSearch == SearchAltLetters)) {
        s.Typed += typed;
        return SeekOn(list, s, 0, 1);
    }
    CloseQuickSearch(list); // any other key ends the search and does its own work
    return 0;
}

} // namespace

int64_t QuickSearchKey(int64_t list, int64_t shortcut, const std::wstring& text) {
    SearchState* s = StateOf(list);
    if (!s) return 0;
    if (s->Open) return OpenKey(list, *s, shortcut, text);
    if (shortcut & TkShortcutControl) return 0;
    const int64_t mode = App.settings.QuickSearch;
    const bool alt = shortcut & TkShortcutAlt;
    const std::wstring typed = TypedOf(shortcut, text);
    if (typed.empty() || !Starts(typed[0])) return 0;
    if (mode == SearchOff) return alt ? 0 : 1; // a letter then does nothing at all
    if (mode == SearchAltLetters && !alt) return ToCommandLine(typed);
    if (mode != SearchAltLetters && alt) return 0; // Alt+letter: the menu's
    s->Open = true;
    s->Typed = typed;
    return SeekOn(list, *s, 0, 1);
}

void StartQuickSearchIndexing() {
    static bool started = false;
    if (!started) started = tk_timer_start(IndexIdleMs, IndexWhileIdle, 0, 1) != 0;
}

void QuickSearchIndexNow() {
    IndexSettled(true);
}

void CloseQuickSearch(int64_t list) {
    SearchState* s = StateOf(list);
    if (!s || !s->Open) return;
    s->Open = false;
    s->Typed.clear();
    tk_gadget_hide(BottomOf(list)->QuickSearch, 1);
}

void QuickSearchSawGadget(int64_t gadget) {
    for (const PaneBottom& b : PaneBottoms)
        if (gadget != b.QuickSearch) CloseQuickSearch(b.List);
}

std::wstring QuickSearchTyped(int64_t list) {
    const SearchState* s = StateOf(list);
    return s && s->Open ? s->Typed : std::wstring();
}
