// Sorting the packed slots of a pane sort (SortSlots, SealTextSlots): see
// pane_sort.h. The order is that of a stable comparison sort by rank, key
// and row; it is reached by a radix sort on the ranks and the keys' first
// eight bytes, which moves each slot a few times instead of comparing it
// some seventeen times; text keys that share those bytes go on by the next
// eight, and only short runs are compared.
#include "app/panes/pane_sort.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

namespace {

// Fewer slots than this are compared: the radix sort's counting would cost
// more.
constexpr size_t RadixFrom = 256;

uint32_t RankOf(const SortSlot& s) {
    return s.RankRow >> SortRankShift;
}

// The order of CompareItems on slots: true when a goes before b. Equal
// keys, and ".." and folders, fall back on the row order.
template <bool Text, bool Descending> struct SlotBefore {
    bool operator()(const SortSlot& a, const SortSlot& b) const {
        const uint32_t ra = RankOf(a), rb = RankOf(b);
        if (ra != rb) return ra < rb;
        if (ra == SortRankKeyed) {
            const SortSlot& x = Descending ? b : a;
            const SortSlot& y = Descending ? a : b;
            if constexpr (Text) {
                if (x.Prefix != y.Prefix) return x.Prefix < y.Prefix;
                const int c =
                    std::string_view(x.Text, x.Length).compare(std::string_view(y.Text, y.Length));
                if (c != 0) return c < 0;
            } else if (x.Number != y.Number) {
                return x.Number < y.Number;
            }
        }
        return (a.RankRow & SortRowMask) < (b.RankRow & SortRowMask);
    }
};

// A stable sort keeps the row order among equals only when the slots come
// in that order, as every pane sort hands them over.
bool RowsAscending(const std::vector<SortSlot>& slots) {
    for (size_t i = 1; i < slots.size(); ++i)
        if ((slots[i - 1].RankRow & SortRowMask) >= (slots[i].RankRow & SortRowMask)) return false;
    return true;
}

// Stable least-significant-digit radix sort of [first, first + n) by the
// eight bytes of key (a slot), then by rank when ranks is set. A digit all
// slots share moves nothing and is skipped: sizes rarely use more than four
// bytes, names of one folder often begin alike.
template <class Key>
void RadixSort(SortSlot* first, size_t n, Key key, bool ranks, std::vector<SortSlot>& buffer) {
    constexpr int Digits = 9; // the key's bytes, low first, then the rank
    std::array<std::array<uint32_t, 256>, Digits> counts{};
    for (size_t i = 0; i < n; ++i) {
        const uint64_t k = key(first[i]);
        for (int d = 0; d < 8; ++d) ++counts[d][(k >> (8 * d)) & 0xFFu];
        ++counts[8][RankOf(first[i])];
    }
    if (buffer.size() < n) buffer.resize(n);
    SortSlot* from = first;
    SortSlot* to = buffer.data();
    for (int d = 0; d < (ranks ? Digits : 8); ++d) {
        std::array<uint32_t, 256>& at = counts[static_cast<size_t>(d)];
        if (std::find(at.begin(), at.end(), n) != at.end()) continue;
        uint32_t sum = 0;
        for (uint32_t& c : at) sum += std::exchange(c, sum);
        for (size_t i = 0; i < n; ++i) {
            const unsigned digit =
                d < 8 ? static_cast<unsigned>(key(from[i]) >> (8 * d)) & 0xFFu : RankOf(from[i]);
            to[at[digit]++] = from[i];
        }
        std::swap(from, to);
    }
    if (from != first) std::copy(from, from + n, first);
}

// Bytes [at, at + 8) of a text key, big-endian, zero-padded as Prefix is.
uint64_t TextBytesAt(const SortSlot& s, uint32_t at) {
    uint64_t k = 0;
    for (uint32_t i = at; i < at + 8; ++i)
        k = (k << 8) | (i < s.Length ? static_cast<unsigned char>(s.Text[i]) : 0u);
    return k;
}

// Calls f(first, last) for each run of two or more neighbours that same
// holds for.
template <class Same, class F> void EachRun(SortSlot* first, SortSlot* end, Same same, F f) {
    while (first != end) {
        SortSlot* last = first + 1;
        while (last != end && same(*first, *last)) ++last;
        if (last - first > 1) f(first, last);
        first = last;
    }
}

// A run of keyed text slots in row order that share their key bytes below
// depth * 8: sorted by the next eight bytes, run by run, as deep as the
// keys go. The slots' Prefix holds those bytes meanwhile and gets the
// shared one back.
template <bool Descending>
void SortTextRun(SortSlot* first, SortSlot* last, uint32_t depth, std::vector<SortSlot>& buffer) {
    const size_t n = static_cast<size_t>(last - first);
    uint32_t longest = 0;
    for (SortSlot* s = first; s != last; ++s) longest = std::max(longest, s->Length);
    if (n < RadixFrom || longest <= depth * 8) {
        std::stable_sort(first, last, SlotBefore<true, Descending>());
        return;
    }
    const uint64_t shared = first->Prefix;
    for (SortSlot* s = first; s != last; ++s) s->Prefix = TextBytesAt(*s, depth * 8);
    RadixSort(
        first, n, [](const SortSlot& s) { return Descending ? ~s.Prefix : s.Prefix; }, false,
        buffer);
    EachRun(
        first, last, [](const SortSlot& a, const SortSlot& b) { return a.Prefix == b.Prefix; },
        [&](SortSlot* a, SortSlot* b) { SortTextRun<Descending>(a, b, depth + 1, buffer); });
    for (SortSlot* s = first; s != last; ++s) s->Prefix = shared;
}

// The key the radix sort orders keyed slots by: a number made unsigned
// with its order kept, or a text key's first eight bytes; turned round for
// a descending sort.
template <bool Text, bool Descending> uint64_t RadixKey(const SortSlot& s) {
    const uint64_t u = Text ? s.Prefix : static_cast<uint64_t>(s.Number) ^ (uint64_t(1) << 63);
    return Descending ? ~u : u;
}

template <bool Text, bool Descending>
void SortSlotsBy(std::vector<SortSlot>& slots, std::vector<SortSlot>& buffer) {
    if (slots.size() < RadixFrom || !RowsAscending(slots)) {
        std::stable_sort(slots.begin(), slots.end(), SlotBefore<Text, Descending>());
        return;
    }
    // ".." and folders order by row alone: they all take the key of one
    // keyed slot, which keeps them in row order and the shared digits
    // shared.
    uint64_t filler = 0;
    for (const SortSlot& s : slots)
        if (RankOf(s) == SortRankKeyed) {
            filler = RadixKey<Text, Descending>(s);
            break;
        }
    RadixSort(
        slots.data(), slots.size(),
        [filler](const SortSlot& s) {
            return RankOf(s) == SortRankKeyed ? RadixKey<Text, Descending>(s) : filler;
        },
        true, buffer);
    if constexpr (Text) {
        auto same = [](const SortSlot& a, const SortSlot& b) {
            return RankOf(a) == SortRankKeyed && RankOf(b) == SortRankKeyed && a.Prefix == b.Prefix;
        };
        SortSlot* data = slots.data();
        EachRun(data, data + slots.size(), same,
                [&](SortSlot* a, SortSlot* b) { SortTextRun<Descending>(a, b, 1, buffer); });
    }
}

} // namespace

void SealTextSlots(std::vector<SortSlot>& slots, const std::string& bytes) {
    for (SortSlot& slot : slots) {
        const char* key = bytes.data() + slot.Number;
        uint64_t prefix = 0;
        for (uint32_t i = 0; i < 8; ++i)
            prefix = (prefix << 8) | (i < slot.Length ? static_cast<unsigned char>(key[i]) : 0u);
        slot.Text = key;
        slot.Prefix = prefix;
    }
}

void SortSlots(std::vector<SortSlot>& slots, bool text, bool descending,
               std::vector<SortSlot>* scratch) {
    std::vector<SortSlot> own;
    std::vector<SortSlot>& buffer = scratch ? *scratch : own;
    if (text && descending) SortSlotsBy<true, true>(slots, buffer);
    if (text && !descending) SortSlotsBy<true, false>(slots, buffer);
    if (!text && descending) SortSlotsBy<false, true>(slots, buffer);
    if (!text && !descending) SortSlotsBy<false, false>(slots, buffer);
}
