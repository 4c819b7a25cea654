// Stable sort of row indices by the application's comparison callback.
//
// Why not std::stable_sort: its insertion step relies on the comparison being
// a strict weak order and walks off the front of the range when it is not.
// An application comparison can contradict itself (two ".." rows that each
// claim to go first) and rows can change under the sort from worker threads,
// so this merge sort checks its bounds on every step instead.
#include <algorithm>
#include <numeric>

#include "toolkit/list_model.h"

namespace {

constexpr int64_t kRun = 8; // rows sorted by insertion before merging

void insertion_sort(int64_t* a, int64_t count, TkListCompare compare, intptr_t user) {
    for (int64_t i = 1; i < count; ++i) {
        const int64_t v = a[i];
        int64_t j = i;
        for (; j > 0 && compare(v, a[j - 1], user) < 0; --j) a[j] = a[j - 1];
        a[j] = v;
    }
}

// Merges src[lo, mid) and src[mid, hi) into dst[lo, hi); on equal rows the
// left one goes first, which keeps the sort stable.
void merge(const int64_t* src, int64_t* dst, int64_t lo, int64_t mid, int64_t hi,
           TkListCompare compare, intptr_t user) {
    if (mid >= hi || compare(src[mid], src[mid - 1], user) >= 0) { // already in order
        std::copy(src + lo, src + hi, dst + lo);
        return;
    }
    int64_t i = lo, j = mid, k = lo;
    while (i < mid && j < hi) dst[k++] = compare(src[j], src[i], user) < 0 ? src[j++] : src[i++];
    std::copy(src + i, src + mid, dst + k);
    std::copy(src + j, src + hi, dst + k + (mid - i));
}

} // namespace

std::vector<int64_t> tk_list_sorted_order(int64_t n, TkListCompare compare, intptr_t user) {
    std::vector<int64_t> order(static_cast<size_t>(std::max<int64_t>(n, 0)));
    std::iota(order.begin(), order.end(), 0);
    if (n < 2 || !compare) return order;
    for (int64_t lo = 0; lo < n; lo += kRun) {
        insertion_sort(order.data() + lo, std::min(kRun, n - lo), compare, user);
    }
    std::vector<int64_t> other(order.size());
    int64_t* src = order.data();
    int64_t* dst = other.data();
    for (int64_t width = kRun; width < n; width *= 2) {
        for (int64_t lo = 0; lo < n; lo += 2 * width) {
            merge(src, dst, lo, std::min(lo + width, n), std::min(lo + 2 * width, n), compare,
                  user);
        }
        std::swap(src, dst);
    }
    if (src != order.data()) order.swap(other);
    return order;
}
