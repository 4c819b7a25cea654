// Benchmark of the list gadget with 100,000 rows, each figure against a
// reference measured in the same run:
//   list_add_show   adding the rows with redraw off and showing them (laid
//                   out and painted) / building the same row texts into a
//                   std::vector
//   list_worker     a worker thread setting column 2 of every row until the
//                   flush has reached the painted view / building the same
//                   column texts into a std::vector
// Each figure is the best of a few rounds, so a busy machine disturbs it less.
// Prints one "BENCH <name> ratio=<ours / reference> target=<largest ratio>"
// line per figure; details go to stderr. Exits 1 when a figure misses its
// target.
#include <QApplication>
#include <QTreeView>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/events.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/images.h"
#include "toolkit/internal.h"
#include "toolkit/list.h"
#include "toolkit/list_model.h"
#include "toolkit/windows.h"

namespace {

constexpr int64_t kRows = 100000;
constexpr int kRounds = 5;
constexpr int64_t kWindow = 1;
constexpr int64_t kList = 5;

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Row names in no particular order, as a folder listing gives them.
std::vector<int64_t> name_numbers() {
    std::vector<int64_t> numbers(kRows);
    for (int64_t i = 0; i < kRows; ++i) numbers[static_cast<size_t>(i)] = i;
    std::shuffle(numbers.begin(), numbers.end(), std::mt19937(42));
    return numbers;
}

std::wstring row_text(int64_t number) {
    return L"Datei_" + std::to_wstring(number) + L".txt\n12.03.2021  10:11:12\ntxt\n" +
           std::to_wstring(number % 9973) + L" KB";
}

std::wstring type_text(int64_t row) {
    return L"Textdokument " + std::to_wstring(row % 97);
}

QTreeView* view() {
    return static_cast<QTreeView*>(tk_gadget_lookup(kList)->widget);
}

// Lays the view out and paints it, as showing it on screen would.
void show_view() {
    QCoreApplication::processEvents();
    view()->grab();
}

struct Figure {
    double ours = 1e9;
    double reference = 1e9;
};

void add_and_show(const std::vector<int64_t>& numbers, intptr_t picture, Figure& f) {
    Clock::time_point t = Clock::now();
    std::vector<std::wstring> texts;
    for (int64_t n : numbers) texts.push_back(row_text(n));
    f.reference = std::min(f.reference, seconds_since(t));

    tk_gadget_clear_items(kList);
    show_view();
    t = Clock::now();
    tk_list_set_redraw(kList, 0);
    for (int64_t n : numbers) tk_gadget_add_item(kList, -1, row_text(n), picture);
    tk_list_set_redraw(kList, 1);
    show_view();
    f.ours = std::min(f.ours, seconds_since(t));
}

void worker_updates(Figure& f) {
    Clock::time_point t = Clock::now();
    std::vector<std::wstring> texts;
    for (int64_t row = 0; row < kRows; ++row) texts.push_back(type_text(row));
    f.reference = std::min(f.reference, seconds_since(t));

    auto* rows = static_cast<TkListModel*>(view()->model());
    t = Clock::now();
    std::atomic<bool> done{false};
    std::thread worker([&done] {
        for (int64_t row = 0; row < kRows; ++row) {
            tk_gadget_set_item_text(kList, row, type_text(row), 2);
        }
        done = true;
        tk_event_post(EventFirstUncoalesced); // wakes the waiting main loop
    });
    // The main loop sleeps until something arrives, as the program's does.
    while (!done.load()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    worker.join();
    while (rows->flush_pending()) QCoreApplication::processEvents();
    QCoreApplication::processEvents(); // the repaint the flush asked for
    f.ours = std::min(f.ours, seconds_since(t));
}

// Prints the figure; false when it misses its target.
bool print(const char* name, const Figure& f, double target) {
    std::fprintf(stderr, "%s: ours %.1f ms, reference %.1f ms\n", name, f.ours * 1e3,
                 f.reference * 1e3);
    std::printf("BENCH %s ratio=%.2f target=%g\n", name, f.ours / f.reference, target);
    return f.ours / f.reference <= target;
}

} // namespace

int main() {
    tk_init();
    tk_window_open(kWindow, 0, 0, 1000, 700, L"Liste", TkWindowNormal);
    tk_list_create(kList, 0, 0, 1000, 700, L"Name", 300,
                   TkListMultiSelect | TkListShowSelectionAlways | TkListFullRowSelect);
    tk_list_add_column(kList, -1, L"Änderungsdatum", 150);
    tk_list_add_column(kList, -1, L"Typ", 150);
    tk_list_add_column(kList, -1, L"Größe", 100);
    const int64_t picture = tk_image_create(-1, 32, 32, 32, 0x3080C0);
    show_view();

    const std::vector<int64_t> numbers = name_numbers();
    Figure add, worker;
    for (int round = 0; round < kRounds; ++round) {
        add_and_show(numbers, tk_image_handle(picture), add);
        worker_updates(worker);
    }
    bool met = print("list_add_show", add, 3);
    met = print("list_worker", worker, 5) && met;
    tk_end();
    return met ? 0 : 1;
}
