// The sort of packed slots against the order it promises (rank, then key,
// then row), on many slots, so that the radix sort and its runs of shared
// key bytes are what runs: text keys that share 8, 16 or 24 bytes, zero
// bytes inside keys, keys that are prefixes of others, equal keys, negative
// and huge numbers, both directions.
#include "app/panes/pane_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct Made {
    std::vector<SortSlot> slots;
    std::string bytes;
};

uint32_t Rank(std::mt19937& rng) {
    const uint32_t r = rng() % 20;
    return r == 0 ? SortRankParent : r < 4 ? SortRankFolder : SortRankKeyed;
}

// Keys from a few long stems with short, varied tails.
Made TextSlots(size_t n, std::mt19937& rng) {
    const std::vector<std::string> stems = {"",
                                            "bilder_2024_",
                                            "bilder_2024_urlaub_",
                                            std::string("ab\0cd\0\0\0ef", 11),
                                            "\xc3\xa4pfel",
                                            "zzzzzzzzzzzzzzzzzzzzzzzzz"};
    const std::string tail_chars("0123456789._aZ\0\x80\xff", 17);
    Made m;
    std::vector<std::pair<size_t, size_t>> where;
    for (size_t i = 0; i < n; ++i) {
        std::string key = stems[rng() % stems.size()];
        for (size_t k = rng() % 6; k > 0; --k) key += tail_chars[rng() % tail_chars.size()];
        where.emplace_back(m.bytes.size(), key.size());
        m.bytes += key;
    }
    for (size_t i = 0; i < n; ++i) {
        SortSlot s;
        s.Number = static_cast<int64_t>(where[i].first);
        s.Length = static_cast<uint32_t>(where[i].second);
        s.RankRow = (Rank(rng) << SortRankShift) | static_cast<uint32_t>(i);
        m.slots.push_back(s);
    }
    SealTextSlots(m.slots, m.bytes);
    return m;
}

Made NumberSlots(size_t n, std::mt19937& rng) {
    const std::vector<int64_t> some = {0, 1, -1, INT64_MIN, INT64_MAX, 4096, 1 << 20, -7};
    Made m;
    for (size_t i = 0; i < n; ++i) {
        SortSlot s;
        s.Number = rng() % 3 ? some[rng() % some.size()] : static_cast<int64_t>(rng()) << 8;
        s.RankRow = (Rank(rng) << SortRankShift) | static_cast<uint32_t>(i);
        m.slots.push_back(s);
    }
    return m;
}

// The promised order, written out plainly.
std::vector<uint32_t> Expected(const Made& m, bool text, bool descending) {
    std::vector<SortSlot> v = m.slots;
    std::stable_sort(v.begin(), v.end(), [&](const SortSlot& a, const SortSlot& b) {
        const uint32_t ra = a.RankRow >> SortRankShift, rb = b.RankRow >> SortRankShift;
        if (ra != rb) return ra < rb;
        if (ra == SortRankKeyed) {
            const SortSlot& x = descending ? b : a;
            const SortSlot& y = descending ? a : b;
            if (text) {
                const std::string kx(x.Text, x.Length), ky(y.Text, y.Length);
                if (kx != ky) return kx < ky;
            } else if (x.Number != y.Number) {
                return x.Number < y.Number;
            }
        }
        return (a.RankRow & SortRowMask) < (b.RankRow & SortRowMask);
    });
    std::vector<uint32_t> rows;
    for (const SortSlot& s : v) rows.push_back(s.RankRow & SortRowMask);
    return rows;
}

std::vector<uint32_t> Sorted(const Made& m, bool text, bool descending) {
    std::vector<SortSlot> v = m.slots;
    SortSlots(v, text, descending);
    std::vector<uint32_t> rows;
    for (const SortSlot& s : v) rows.push_back(s.RankRow & SortRowMask);
    // the slots keep their keys and prefixes as they were
    std::vector<SortSlot> by_row(m.slots.size());
    for (const SortSlot& s : m.slots) by_row[s.RankRow & SortRowMask] = s;
    for (const SortSlot& s : v) {
        const SortSlot& was = by_row[s.RankRow & SortRowMask];
        EXPECT_EQ(was.Prefix, s.Prefix);
        EXPECT_EQ(was.Number, s.Number);
    }
    return rows;
}

} // namespace

TEST(SlotSortTest, ManyTextAndNumberSlotsSortAsPromisedBothWays) {
    std::mt19937 rng(12345);
    for (size_t n : {300u, 5000u, 40000u}) {
        const Made texts = TextSlots(n, rng);
        const Made numbers = NumberSlots(n, rng);
        for (bool descending : {false, true}) {
            EXPECT_EQ(Expected(texts, true, descending), Sorted(texts, true, descending)) << n;
            EXPECT_EQ(Expected(numbers, false, descending), Sorted(numbers, false, descending))
                << n;
        }
    }
}

// Slots that do not come in row order still end with equals in row order.
TEST(SlotSortTest, SlotsOutOfRowOrderStillOrderEqualsByRow) {
    std::mt19937 rng(7);
    Made m = NumberSlots(2000, rng);
    std::reverse(m.slots.begin(), m.slots.end());
    EXPECT_EQ(Expected(m, false, false), Sorted(m, false, false));
    Made t = TextSlots(2000, rng);
    std::shuffle(t.slots.begin(), t.slots.end(), rng);
    EXPECT_EQ(Expected(t, true, true), Sorted(t, true, true));
}
