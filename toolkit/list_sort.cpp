// Stable sort of a list's rows by the application's comparison callback,
// and the fast cell reads a comparison may use meanwhile.
//
// Why not std::stable_sort: its insertion step relies on the comparison being
// a strict weak order and walks off the front of the range when it is not.
// An application comparison can contradict itself (two ".." rows that each
// claim to go first) and can change rows while it runs, so this merge sort
// checks its bounds on every step instead.
//
// Speed: the sort moves small items that carry, besides the row index, where
// the row's cell of the key column lies (in the model's compact copy of that
// column). tk_list_sort_text finds the cells of the two rows being compared
// in those items, so a comparison reads just the characters, as a sort of
// the texts themselves would.
#include <algorithm>

#include "toolkit/list_model.h"

namespace {

struct Item {
    const wchar_t* text; // cell of the key column, null = absent or no key column
    uint32_t length;     // characters
    uint32_t row;        // row index before the sort
};

// The sort running on this thread, for tk_list_sort_text.
struct SortRun {
    const TkListModel* model;
    int64_t key_column;
    const Item* compared[2]; // the items of the comparison being made
};
thread_local SortRun* t_run = nullptr;

constexpr int64_t kRun = 8;   // rows sorted by insertion before merging
constexpr int64_t kAhead = 4; // items a merge looks ahead to fetch their cells

class Sorter {
  public:
    Sorter(SortRun& run, TkListCompare compare, intptr_t user)
        : run_(run), compare_(compare), user_(user) {}

    // <0 when x goes before y
    int cmp(const Item& x, const Item& y) {
        run_.compared[0] = &x;
        run_.compared[1] = &y;
        return compare_(x.row, y.row, user_);
    }

    void insertion_sort(Item* a, int64_t count) {
        for (int64_t i = 1; i < count; ++i) {
            const Item v = a[i];
            int64_t j = i;
            for (; j > 0 && cmp(v, a[j - 1]) < 0; --j) a[j] = a[j - 1];
            a[j] = v;
        }
    }

    // Merges src[lo, mid) and src[mid, hi) into dst[lo, hi); on equal rows
    // the left one goes first, which keeps the sort stable.
    void merge(const Item* src, Item* dst, int64_t lo, int64_t mid, int64_t hi) {
        if (mid >= hi || cmp(src[mid], src[mid - 1]) >= 0) { // already in order
            std::copy(src + lo, src + hi, dst + lo);
            return;
        }
        int64_t i = lo, j = mid, k = lo;
        while (i < mid && j < hi) {
            // The cells lie all over the column's block; asking for the
            // next ones early hides most of the wait for memory.
            if (i + kAhead < mid) __builtin_prefetch(src[i + kAhead].text);
            if (j + kAhead < hi) __builtin_prefetch(src[j + kAhead].text);
            dst[k++] = cmp(src[j], src[i]) < 0 ? src[j++] : src[i++];
        }
        std::copy(src + i, src + mid, dst + k);
        std::copy(src + j, src + hi, dst + k + (mid - i));
    }

  private:
    SortRun& run_;
    TkListCompare compare_;
    intptr_t user_;
};

} // namespace

std::vector<int64_t> tk_list_sorted_order(const TkListModel* model, int64_t n, int64_t key_column,
                                          TkListCompare compare, intptr_t user) {
    // Only columns the model copies for sorts have cells that stay put.
    if (key_column >= TkListModel::kSortColumns) key_column = -1;
    SortRun run{model, key_column, {nullptr, nullptr}};
    SortRun* outer = t_run; // a comparison may sort another list
    t_run = &run;
    std::vector<Item> items(static_cast<size_t>(std::max<int64_t>(n, 0)));
    for (int64_t r = 0; r < n; ++r) {
        size_t length = 0;
        const wchar_t* text = key_column >= 0 ? model->sort_cell(r, key_column, &length) : nullptr;
        items[static_cast<size_t>(r)] = {text, static_cast<uint32_t>(length),
                                         static_cast<uint32_t>(r)};
    }
    if (n >= 2 && compare) {
        Sorter sorter(run, compare, user);
        for (int64_t lo = 0; lo < n; lo += kRun) {
            sorter.insertion_sort(items.data() + lo, std::min(kRun, n - lo));
        }
        std::vector<Item> other(items.size());
        Item* src = items.data();
        Item* dst = other.data();
        for (int64_t width = kRun; width < n; width *= 2) {
            for (int64_t lo = 0; lo < n; lo += 2 * width) {
                sorter.merge(src, dst, lo, std::min(lo + width, n), std::min(lo + 2 * width, n));
            }
            std::swap(src, dst);
        }
        if (src != items.data()) items.swap(other);
    }
    t_run = outer;
    std::vector<int64_t> order(items.size());
    for (size_t i = 0; i < items.size(); ++i) order[i] = items[i].row;
    return order;
}

const wchar_t* tk_list_sort_text(int64_t row, int64_t column, size_t* length) {
    size_t ignored = 0;
    size_t* out = length ? length : &ignored;
    *out = 0;
    const SortRun* run = t_run;
    if (!run) return nullptr;
    if (column == run->key_column) {
        for (const Item* item : run->compared) {
            if (item && item->row == static_cast<uint64_t>(row)) {
                *out = item->length;
                return item->text;
            }
        }
    }
    return run->model->sort_cell(row, column, out);
}

int64_t tk_list_sort_item_data(int64_t row) {
    return t_run ? t_run->model->sort_data(row) : 0;
}
