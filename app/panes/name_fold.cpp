// Folding names for sort and search: see name_fold.h.
#include "app/panes/name_fold.h"

#include <atomic>
#include <cstdint>

namespace {

enum class Kind { Umlaut, Ligature, Accent };

struct Fold {
    wchar_t From;
    wchar_t First, Second; // what the sort reads instead
    Kind How;
};
constexpr Fold Folds[] = {
    {L'Ä', L'a', L'e', Kind::Umlaut},   {L'Ö', L'o', L'e', Kind::Umlaut},
    {L'Ü', L'u', L'e', Kind::Umlaut},   {L'ä', L'a', L'e', Kind::Umlaut},
    {L'ö', L'o', L'e', Kind::Umlaut},   {L'ü', L'u', L'e', Kind::Umlaut},
    {L'ß', L's', L's', Kind::Ligature}, {L'à', L'a', L'y', Kind::Accent},
    {L'â', L'a', L'z', Kind::Accent},   {L'é', L'e', L'x', Kind::Accent},
    {L'è', L'e', L'y', Kind::Accent},   {L'ê', L'e', L'z', Kind::Accent},
    {L'ù', L'u', L'y', Kind::Accent},   {L'û', L'u', L'z', Kind::Accent},
};

const Fold* FoldOf(wchar_t c) {
    if (c < 0xC0) return nullptr;
    for (const Fold& f : Folds)
        if (f.From == c) return &f;
    return nullptr;
}

wchar_t Lower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c;
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// A digit run as the sort compares it: the code of '0' (so the run sorts
// where digits sort among other characters), its length without leading
// zeros in an order-keeping code of its own, then the digits. Lengths are
// written in base 32 behind their digit count, so no run is too long.
void AppendNumber(std::vector<wchar_t>& out, std::wstring_view digits) {
    size_t lead = 0;
    while (lead + 1 < digits.size() && digits[lead] == L'0') ++lead;
    digits.remove_prefix(lead);
    out.push_back(L'0');
    wchar_t length[16];
    int count = 0;
    for (size_t n = digits.size(); n > 0; n /= 32) length[count++] = wchar_t(0x40 + n % 32);
    out.push_back(wchar_t(0x40 + count));
    while (count > 0) out.push_back(length[--count]);
    out.insert(out.end(), digits.begin(), digits.end());
}

std::atomic<bool> Natural{true};

} // namespace

void AppendNameFold(std::vector<wchar_t>& out, std::wstring_view text, NameFold how, bool natural) {
    const bool numbers = natural && how == NameFold::Sort;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (numbers && IsDigit(c)) {
            size_t end = i + 1;
            while (end < text.size() && IsDigit(text[end])) ++end;
            AppendNumber(out, text.substr(i, end - i));
            i = end - 1;
            continue;
        }
        const Fold* f = FoldOf(c);
        if (!f) {
            out.push_back(Lower(c));
            continue;
        }
        out.push_back(f->First);
        const bool second = how == NameFold::Sort || f->How == Kind::Ligature ||
                            (how == NameFold::Spelled && f->How == Kind::Umlaut);
        if (second) out.push_back(f->Second);
    }
}

bool NaturalNameOrder() {
    return Natural.load(std::memory_order_relaxed);
}

void SetNaturalNameOrder(bool on) {
    Natural.store(on, std::memory_order_relaxed);
}
