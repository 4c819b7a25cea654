// Worker threads change rows while the main thread adds, removes and reads
// them: nothing crashes, every text read is one that was written whole, and
// the view ends up showing what the rows hold.
#include "list_fixture.h"

#include <atomic>
#include <random>
#include <set>
#include <thread>

#include "toolkit/images.h"

namespace {

// Long texts, so a torn write would show as a mix of two of them.
std::vector<std::wstring> known_texts() {
    std::vector<std::wstring> texts;
    for (wchar_t c : std::wstring(L"abcdefgh")) texts.push_back(std::wstring(60 + (c - L'a'), c));
    return texts;
}

constexpr const wchar_t* kInitial = L"Typ";

constexpr int kWorkerSteps = 20000;

void worker(int seed, const std::vector<std::wstring>& texts, const std::vector<intptr_t>& images,
            std::atomic<int>& running, std::atomic<int>& bad_reads) {
    std::mt19937 rng(seed);
    const std::set<std::wstring> allowed(texts.begin(), texts.end());
    for (int step = 0; step < kWorkerSteps; ++step) {
        const int64_t count = tk_gadget_count_items(kList);
        const int64_t row = static_cast<int64_t>(rng() % (count + 5)) - 2; // some out of range
        const size_t k = rng() % texts.size();
        switch (rng() % 5) {
        case 0: tk_gadget_set_item_text(kList, row, texts[k], 2); break;
        case 1: tk_gadget_set_item_image(kList, row, images[k % images.size()]); break;
        case 2: tk_gadget_set_item_data(kList, row, static_cast<int64_t>(k) + 1); break;
        case 3: {
            const std::wstring t = tk_gadget_get_item_text(kList, row, 2);
            if (!t.empty() && t != kInitial && !allowed.count(t)) ++bad_reads;
            break;
        }
        default:
            if (tk_gadget_get_item_data(kList, row) > static_cast<int64_t>(texts.size())) {
                ++bad_reads;
            }
            tk_gadget_get_item_state(kList, row);
        }
    }
    --running;
}

TEST_F(ListTest, WorkersChangeRowsWhileTheMainThreadAddsRemovesAndReads) {
    const std::vector<std::wstring> texts = known_texts();
    const std::set<std::wstring> allowed(texts.begin(), texts.end());
    std::vector<int64_t> image_numbers;
    std::vector<intptr_t> images;
    for (int64_t colour : {0x0000FF, 0x00FF00, 0xFF0000}) {
        image_numbers.push_back(tk_image_create(-1, 32, 32, 32, colour));
        images.push_back(tk_image_handle(image_numbers.back()));
    }
    add_rows(500);
    std::atomic<int> running{8};
    std::atomic<int> bad_reads{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < 8; ++i) {
        workers.emplace_back(worker, i + 1, std::cref(texts), std::cref(images), std::ref(running),
                             std::ref(bad_reads));
    }
    std::mt19937 rng(99);
    int main_bad = 0;
    for (int round = 0; running.load() > 0 || round < 300; ++round) {
        const int64_t count = tk_gadget_count_items(kList);
        if (rng() % 2 && count < 1500) add_rows(3, L"w");
        if (count > 100) tk_gadget_remove_item(kList, static_cast<int64_t>(rng() % count));
        if (round % 200 == 0) tk_gadget_clear_items(kList);
        if (round % 50 == 0) { // a bulk change as the panes make them
            tk_list_set_redraw(kList, 0);
            tk_gadget_remove_item(kList, 0);
            add_rows(20, L"b");
            tk_list_set_redraw(kList, 1);
        }
        const std::wstring t = tk_gadget_get_item_text(kList, rng() % (count + 1), 2);
        if (!t.empty() && t != kInitial && !allowed.count(t)) ++main_bad;
        if (round % 10 == 0) QCoreApplication::processEvents(); // flushes reach the view
    }
    for (std::thread& t : workers) t.join();
    EXPECT_EQ(bad_reads.load(), 0);
    EXPECT_EQ(main_bad, 0);

    EXPECT_TRUE(wait_flushed());
    QAbstractItemModel* shown = list_view()->model();
    ASSERT_EQ(shown->rowCount(), tk_gadget_count_items(kList));
    for (int row = 0; row < shown->rowCount(); ++row) {
        ASSERT_EQ(tk_wstring(shown->index(row, 2).data().toString()),
                  tk_gadget_get_item_text(kList, row, 2));
    }
    for (int64_t n : image_numbers) tk_image_free(n);
}

// A worker's thousands of changes reach the view as a few flushes.
TEST_F(ListTest, WorkerUpdatesAreCoalescedIntoFewFlushes) {
    add_rows(2000);
    settle();
    int changes = 0;
    QObject::connect(list_rows(), &QAbstractItemModel::dataChanged, list_view(),
                     [&changes] { ++changes; });
    std::thread worker([] {
        for (int64_t row = 0; row < 2000; ++row) tk_gadget_set_item_text(kList, row, L"neu", 2);
    });
    worker.join();
    ASSERT_TRUE(wait_flushed());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(list_view()->model()->index(1999, 2).data().toString(), QString("neu"));
}

// Adding, removing, clearing and reordering are the main thread's: a worker's
// attempt changes nothing.
TEST_F(ListTest, WorkerCannotChangeTheRowCountOrOrder) {
    add_rows(3);
    std::thread worker([] {
        EXPECT_EQ(tk_gadget_add_item(kList, -1, L"x"), -1);
        tk_gadget_remove_item(kList, 0);
        tk_gadget_clear_items(kList);
        EXPECT_EQ(tk_list_reorder(kList, {2, 1, 0}), 0);
    });
    worker.join();
    EXPECT_EQ(tk_gadget_count_items(kList), 3);
    EXPECT_EQ(tk_gadget_get_item_text(kList, 0, 0), L"r0");
}

// Selecting from a worker reaches the view's selection at the next flush.
TEST_F(ListTest, WorkerSelectionReachesTheView) {
    add_rows(10);
    settle();
    std::thread worker([] { tk_gadget_set_item_state(kList, 6, TkListItemSelected); });
    worker.join();
    EXPECT_EQ(tk_gadget_get_item_state(kList, 6), TkListItemSelected);
    ASSERT_TRUE(wait_flushed());
    EXPECT_TRUE(list_view()->selectionModel()->isRowSelected(6, {}));
    EXPECT_TRUE(g_list_events.empty());
}

} // namespace
