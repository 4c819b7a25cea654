// The list gadget's row store and table model: see list_model.h.
#include "toolkit/list_model.h"

#include <QBrush>
#include <QColor>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cassert>

#include "toolkit/internal.h"

namespace {

// The model whose rows this thread holds locked for a visit, if any.
thread_local TkListModel* t_holding = nullptr;

constexpr int kQuietMs = 3;             // a pause this long ends a burst of row changes
constexpr qint64 kMaxFlushWait = 40;    // ms a running burst waits for a repaint at most
constexpr size_t kFreeLaterRows = 4096; // rows from which a clear frees them in slices
constexpr size_t kFreeSliceRows = 4096; // rows freed per turn of the main loop
constexpr size_t kRowSlack = 16;        // characters of room in a new row's text

bool on_main_thread(const QObject* o) {
    return QThread::currentThread() == o->thread();
}

// Start and length of column `column` inside a row text ("a\nb\nc");
// npos when the row has fewer columns.
std::pair<size_t, size_t> segment(const std::wstring& text, int64_t column) {
    size_t start = 0;
    for (int64_t c = 0; c < column; ++c) {
        const size_t lf = text.find(L'\n', start);
        if (lf == std::wstring::npos) return {std::wstring::npos, 0};
        start = lf + 1;
    }
    const size_t end = text.find(L'\n', start);
    return {start, (end == std::wstring::npos ? text.size() : end) - start};
}

// Replaces column `column` of a row text, adding empty columns as needed.
void replace_segment(std::wstring& text, int64_t column, const std::wstring& value) {
    auto [start, length] = segment(text, column);
    if (start == std::wstring::npos) {
        int64_t have = 1 + std::count(text.begin(), text.end(), L'\n');
        text.append(static_cast<size_t>(column - have + 1), L'\n');
        text.append(value);
        return;
    }
    const size_t size = text.size() - length + value.size();
    if (size > text.capacity()) {
        // Grow to fit, not to twice the old room as replace would: every row
        // of a pane gets a type name longer than its extension.
        std::wstring grown;
        grown.reserve(size);
        grown.append(text, 0, start).append(value).append(text, start + length);
        text.swap(grown);
        return;
    }
    text.replace(start, length, value);
}

QColor color_of(int32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

Qt::Alignment alignment_of(int64_t align) {
    static constexpr Qt::AlignmentFlag horizontal[] = {Qt::AlignLeft, Qt::AlignRight,
                                                       Qt::AlignHCenter};
    static_assert(std::size(horizontal) == TkListAlignCenter + 1);
    const size_t i = align >= 0 && align <= TkListAlignCenter ? static_cast<size_t>(align) : 0;
    return horizontal[i] | Qt::AlignVCenter;
}

} // namespace

QImage tk_list_fit_picture(const QImage& image, int size) {
    if (image.isNull() || (image.width() == size && image.height() == size)) return image;
    return image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

TkListModel::TkListModel(QObject* parent, bool check_boxes)
    : QAbstractTableModel(parent), check_boxes_(check_boxes) {}

// ---- the lock ----

TkListModel::Guard::Guard(const TkListModel* model) : model_(model), taken_(t_holding != model) {
    if (taken_) model_->mu_.lock();
}

TkListModel::Guard::~Guard() {
    if (taken_) model_->mu_.unlock();
}

TkListModel* TkListModel::hold_rows() {
    mu_.lock();
    TkListModel* outer = t_holding;
    t_holding = this;
    return outer;
}

void TkListModel::release_rows(TkListModel* outer) {
    t_holding = outer;
    mu_.unlock();
}

bool TkListModel::rows_held_here() const {
    return t_holding == this;
}

// Revisions are drawn from one count for every list, so no two lists (a
// list and the one made after it under the same number, in tests) ever
// show the same revision: keys kept for one are never taken for another.
namespace {
std::atomic<uint64_t> NextContentRevision{1};
} // namespace

uint64_t TkListModel::fresh_content_revision() {
    return NextContentRevision.fetch_add(1, std::memory_order_relaxed) + 1;
}

void TkListModel::bump_content_revision() const {
    content_revision_.store(fresh_content_revision(), std::memory_order_relaxed);
}

void TkListModel::note_texts(int64_t column) {
    if (column < 0) {
        rows_revision_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    const size_t at = std::min(static_cast<size_t>(column), kTrackedColumns - 1);
    column_writes_[at].fetch_add(1, std::memory_order_relaxed);
}

uint64_t TkListModel::column_revision(int64_t column) const {
    const size_t at =
        std::min(static_cast<size_t>(std::max<int64_t>(column, 0)), kTrackedColumns - 1);
    return rows_revision_.load(std::memory_order_relaxed) +
           column_writes_[at].load(std::memory_order_relaxed);
}

// ---- rows, any thread ----

int64_t TkListModel::count() const {
    Guard lock(this);
    return static_cast<int64_t>(rows_.size());
}

std::wstring TkListModel::text(int64_t row, int64_t column) const {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size()) || column < 0) return {};
    const std::wstring& all = rows_[static_cast<size_t>(row)].text;
    auto [start, length] = segment(all, column);
    if (start == std::wstring::npos) return {};
    return all.substr(start, length);
}

void TkListModel::set_text(int64_t row, int64_t column, const std::wstring& text) {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size()) || column < 0) return;
    replace_segment(rows_[static_cast<size_t>(row)].text, column, text);
    bump_content_revision();
    note_texts(column);
    mark_dirty_locked(row);
}

std::vector<std::vector<std::wstring>>
TkListModel::longest_texts(const std::vector<int64_t>& columns, size_t limit) const {
    Guard lock(this);
    std::vector<std::vector<std::wstring>> out(columns.size());
    std::vector<size_t> longest(columns.size(), 0);
    for (const TkListRow& row : rows_) {
        // Reading a row's text costs more than scanning it: each row is
        // read once for all the columns.
        for (size_t i = 0; i < columns.size(); ++i) {
            auto [start, length] = segment(row.text, columns[i]);
            if (start == std::wstring::npos || length < longest[i] || length == 0) continue;
            if (length > longest[i]) {
                longest[i] = length;
                out[i].clear();
            }
            if (out[i].size() >= limit) continue;
            const std::wstring_view cell(row.text.data() + start, length);
            if (std::find(out[i].begin(), out[i].end(), cell) == out[i].end())
                out[i].emplace_back(cell);
        }
    }
    return out;
}

int64_t TkListModel::item_data(int64_t row) const {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return 0;
    return rows_[static_cast<size_t>(row)].data;
}

void TkListModel::set_item_data(int64_t row, int64_t value) {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return;
    rows_[static_cast<size_t>(row)].data = value; // not shown: no repaint
    bump_content_revision();
}

uint32_t TkListModel::tag(int64_t row) const {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return 0;
    return rows_[static_cast<size_t>(row)].tag;
}

void TkListModel::set_tag(int64_t row, uint32_t tag) {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return;
    rows_[static_cast<size_t>(row)].tag = tag; // not shown: no repaint
}

bool TkListModel::peek(int64_t row, std::wstring* name, int64_t* data, uint32_t* tag) const {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return false;
    const TkListRow& r = rows_[static_cast<size_t>(row)];
    if (name) name->assign(r.text, 0, r.text.find(L'\n'));
    if (data) *data = r.data;
    if (tag) *tag = r.tag;
    return true;
}

bool TkListModel::change_if(int64_t row, const std::wstring& name, const TkListItemChange& change,
                            const QImage* picture) {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return false;
    TkListRow& r = rows_[static_cast<size_t>(row)];
    const size_t lf = r.text.find(L'\n');
    const size_t n = lf == std::wstring::npos ? r.text.size() : lf;
    if (n != name.size() || r.text.compare(0, n, name) != 0) return false;
    if ((r.tag & change.expect_mask) != change.expect) return false;
    if (change.column >= 0) {
        replace_segment(r.text, change.column, change.text);
        bump_content_revision();
        note_texts(change.column);
    }
    if (picture) r.picture = intern_picture_locked(*picture);
    r.tag = (r.tag & ~change.tag_clear) | change.tag_set;
    if (change.column >= 0 || picture) mark_dirty_locked(row);
    return true;
}

int64_t TkListModel::visit(TkListRowVisitor visit, intptr_t user) {
    assert(on_main_thread(this));
    TkListModel* outer = hold_rows(); // the visitor may read rows meanwhile
    const int64_t n = static_cast<int64_t>(rows_.size());
    for (int64_t i = 0; i < n; ++i) {
        const TkListRow& r = rows_[static_cast<size_t>(i)];
        visit(i, r.text.data(), r.text.size(), r.data, r.tag, user);
    }
    release_rows(outer);
    return n;
}

void TkListModel::set_image(int64_t row, const QImage* picture) {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return;
    rows_[static_cast<size_t>(row)].picture = picture ? intern_picture_locked(*picture) : 0;
    mark_dirty_locked(row);
}

QImage TkListModel::image(int64_t row) const {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return {};
    return pictures_[rows_[static_cast<size_t>(row)].picture];
}

// The place of image in the table, added when new. Under mu_.
uint32_t TkListModel::intern_picture_locked(const QImage& image) {
    if (image.isNull()) return 0;
    const qint64 key = image.cacheKey();
    const auto found = picture_places_.constFind(key);
    if (found != picture_places_.constEnd()) return *found;
    if (pictures_.size() >= pictures_limit_) collect_pictures_locked();
    const auto place = static_cast<uint32_t>(pictures_.size());
    pictures_.push_back(image);
    picture_places_.insert(key, place);
    return place;
}

// Keeps the pictures some row shows, in a table of their own, and tells the
// rows their new places. Under mu_; once per thousand or so new pictures.
void TkListModel::collect_pictures_locked() {
    std::vector<uint32_t> moved_to(pictures_.size(), 0);
    std::vector<QImage> kept{QImage()};
    for (TkListRow& r : rows_) {
        if (r.picture == 0) continue;
        uint32_t& to = moved_to[r.picture];
        if (to == 0) {
            to = static_cast<uint32_t>(kept.size());
            kept.push_back(pictures_[r.picture]);
        }
        r.picture = to;
    }
    pictures_.swap(kept);
    picture_places_.clear();
    for (uint32_t i = 1; i < pictures_.size(); ++i)
        picture_places_.insert(pictures_[i].cacheKey(), i);
    pictures_limit_ = std::max(kPicturesKept, 2 * pictures_.size());
}

void TkListModel::set_color(int64_t row, int which, int64_t bgr) {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return;
    TkListRow& r = rows_[static_cast<size_t>(row)];
    const int32_t value = bgr < 0 ? -1 : static_cast<int32_t>(bgr & 0xFFFFFF);
    (which == 1 ? r.front : r.back) = value;
    mark_dirty_locked(row);
}

uint32_t TkListModel::state(int64_t row) const {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return 0;
    return rows_[static_cast<size_t>(row)].state;
}

int64_t TkListModel::mark(int64_t row) const {
    return (state(row) & kTkListStateLinkMark) ? TkListMarkLink : TkListMarkNone;
}

void TkListModel::set_mark(int64_t row, int64_t mark) {
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return;
    uint32_t& s = rows_[static_cast<size_t>(row)].state;
    const uint32_t next =
        mark == TkListMarkLink ? s | kTkListStateLinkMark : s & ~kTkListStateLinkMark;
    if (next == s) return;
    s = next;
    mark_dirty_locked(row); // drawn with the row's picture
}

void TkListModel::set_state(int64_t row, uint32_t bits, uint32_t mask) {
    const bool main = on_main_thread(this);
    Guard lock(this);
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return;
    uint32_t& s = rows_[static_cast<size_t>(row)].state;
    const uint32_t next = (s & ~mask) | (bits & mask);
    if (next == s) return;
    if ((next ^ s) & TkListItemChecked) mark_dirty_locked(row); // the box is model data
    s = next;
    if (!main) {
        state_dirty_ = true; // the view copies the bits at the flush
        writes_.fetch_add(1, std::memory_order_relaxed);
        schedule_flush_locked();
    } else if (!redraw_on_) {
        changed_while_off_ = true; // redraw on re-reads the selection
    }
}

void TkListModel::set_state_range(int64_t first, int64_t last, uint32_t bits, uint32_t mask) {
    Guard lock(this);
    const int64_t n = static_cast<int64_t>(rows_.size());
    for (int64_t r = std::max<int64_t>(first, 0); r <= last && r < n; ++r) {
        uint32_t& s = rows_[static_cast<size_t>(r)].state;
        s = (s & ~mask) | (bits & mask);
    }
}

void TkListModel::clear_state_except(int64_t keep, uint32_t mask) {
    Guard lock(this);
    for (size_t r = 0; r < rows_.size(); ++r) {
        if (static_cast<int64_t>(r) != keep) rows_[r].state &= ~mask;
    }
}

int64_t TkListModel::next_with_state(int64_t after, uint32_t mask) const {
    Guard lock(this);
    for (size_t r = static_cast<size_t>(std::max<int64_t>(after + 1, 0)); r < rows_.size(); ++r) {
        if (rows_[r].state & mask) return static_cast<int64_t>(r);
    }
    return -1;
}

int64_t TkListModel::count_with_state(uint32_t mask) const {
    Guard lock(this);
    return std::count_if(rows_.begin(), rows_.end(),
                         [mask](const TkListRow& r) { return (r.state & mask) != 0; });
}

std::vector<std::pair<int, int>> TkListModel::selected_ranges(int limit) const {
    std::vector<std::pair<int, int>> out;
    Guard lock(this);
    const int n = std::min(limit, static_cast<int>(rows_.size()));
    for (int r = 0; r < n; ++r) {
        if (!(rows_[static_cast<size_t>(r)].state & TkListItemSelected)) continue;
        if (!out.empty() && out.back().second == r - 1) {
            out.back().second = r;
        } else {
            out.emplace_back(r, r);
        }
    }
    return out;
}

int64_t TkListModel::current_row() const {
    Guard lock(this);
    return current_;
}

void TkListModel::set_current_row(int64_t row) {
    assert(on_main_thread(this));
    Guard lock(this);
    current_ = row >= 0 && row < static_cast<int64_t>(rows_.size()) ? row : -1;
    if (!redraw_on_) changed_while_off_ = true;
}

bool TkListModel::flush_pending() const {
    Guard lock(this);
    return flush_pending_;
}

// ---- dirty rows and the flush ----

void TkListModel::mark_dirty_locked(int64_t row) {
    writes_.fetch_add(1, std::memory_order_relaxed);
    dirty_lo_ = dirty_lo_ < 0 ? row : std::min(dirty_lo_, row);
    dirty_hi_ = std::max(dirty_hi_, row);
    schedule_flush_locked();
}

void TkListModel::schedule_flush_locked() {
    if (flush_pending_) return;
    flush_pending_ = true;
    // Posting only queues an event; it never calls back into this model.
    QMetaObject::invokeMethod(this, &TkListModel::flush, Qt::QueuedConnection);
}

// A worker changes rows in bursts (a type name or an icon per row). Each
// flush costs a repaint, so a burst is shown when it pauses (no change for
// kQuietMs) or, while it goes on, every kMaxFlushWait: a few repaints per
// burst, and the last one right after its end. flush_pending_ stays set
// meanwhile, so workers post nothing more.
bool TkListModel::flush_now() {
    const uint64_t writes = writes_.load(std::memory_order_relaxed); // no lock for a look
    const bool quiet = burst_.isValid() && writes == writes_seen_;
    const bool overdue = burst_.isValid() && burst_.elapsed() >= kMaxFlushWait;
    if (quiet || overdue) {
        burst_.invalidate();
        return true;
    }
    if (!burst_.isValid()) burst_.start();
    writes_seen_ = writes;
    QTimer::singleShot(kQuietMs, this, &TkListModel::flush);
    return false;
}

void TkListModel::flush() {
    if (redraw_on_ && !flush_now()) return;
    int64_t lo, hi;
    bool states;
    {
        Guard lock(this);
        lo = dirty_lo_;
        hi = dirty_hi_;
        states = state_dirty_;
        dirty_lo_ = dirty_hi_ = -1;
        state_dirty_ = false;
        flush_pending_ = false;
    }
    if (!redraw_on_) { // redraw on repaints and re-reads the selection
        data_while_off_ = data_while_off_ || lo >= 0;
        changed_while_off_ = changed_while_off_ || states;
        return;
    }
    hi = std::min<int64_t>(hi, view_rows_ - 1); // rows the view knows only
    if (lo >= 0 && lo <= hi && !columns_.empty()) {
        emit dataChanged(index(static_cast<int>(lo), 0),
                         index(static_cast<int>(hi), static_cast<int>(columns_.size()) - 1));
    }
    if (states) emit selectionDirty();
}

// ---- structure, main thread ----

void TkListModel::note_change_at(int64_t row) {
    kept_ = std::min(kept_, row);
    changed_while_off_ = true;
}

int64_t TkListModel::insert(int64_t position, const std::wstring& text, const QImage* picture,
                            int64_t data, uint32_t tag) {
    assert(on_main_thread(this));
    TkListRow row;
    row.data = data;
    row.tag = tag;
    // Room for a longer cell: workers replace short texts by longer ones (an
    // extension by a type name), and a string that fits needs no new memory.
    row.text.reserve(text.size() + kRowSlack);
    row.text = text;
    // Only this thread changes the row count, so the size is stable here.
    const int64_t n = static_cast<int64_t>(rows_.size());
    const int64_t at = position < 0 || position > n ? n : position;
    if (redraw_on_) beginInsertRows({}, static_cast<int>(at), static_cast<int>(at));
    {
        Guard lock(this);
        if (picture) row.picture = intern_picture_locked(*picture);
        rows_.insert(rows_.begin() + at, std::move(row));
        bump_content_revision();
        note_texts(-1);
        if (current_ >= at) ++current_;
        if (dirty_lo_ >= 0 && at <= dirty_hi_) ++dirty_hi_;
    }
    if (redraw_on_) {
        ++view_rows_;
        endInsertRows();
    } else if (at < n) {
        note_change_at(at);
    }
    return at;
}

int64_t TkListModel::append(std::vector<TkListNewRow>& rows) {
    assert(on_main_thread(this));
    if (rows.empty()) return 0;
    const int64_t n = static_cast<int64_t>(rows_.size());
    const int64_t m = static_cast<int64_t>(rows.size());
    // Rows of a listing share a few pictures: look each handle up once.
    intptr_t handle = 0;
    uint32_t picture = 0;
    if (redraw_on_) beginInsertRows({}, static_cast<int>(n), static_cast<int>(n + m - 1));
    {
        Guard lock(this);
        rows_.reserve(static_cast<size_t>(n + m));
        for (TkListNewRow& add : rows) {
            if (add.image != handle) {
                handle = add.image;
                const QImage* found = handle ? tk_image_qimage(handle) : nullptr;
                picture = found ? intern_picture_locked(*found) : 0;
            }
            TkListRow& row = rows_.emplace_back();
            row.text = std::move(add.text);
            row.picture = picture;
            row.data = add.data;
            row.tag = add.tag;
            if (add.mark == TkListMarkLink) row.state = kTkListStateLinkMark;
        }
        bump_content_revision();
        note_texts(-1);
    }
    if (redraw_on_) {
        view_rows_ += static_cast<int>(m);
        endInsertRows();
    }
    return m;
}

void TkListModel::remove(int64_t row) {
    assert(on_main_thread(this));
    if (row < 0 || row >= static_cast<int64_t>(rows_.size())) return;
    if (redraw_on_) beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
    TkListRow gone; // freed after the lock is released
    {
        Guard lock(this);
        gone = std::move(rows_[static_cast<size_t>(row)]);
        rows_.erase(rows_.begin() + row);
        bump_content_revision();
        note_texts(-1);
        current_ = current_ == row ? -1 : current_ - (current_ > row ? 1 : 0);
        if (dirty_hi_ >= static_cast<int64_t>(rows_.size())) dirty_hi_ = rows_.size() - 1;
        if (dirty_hi_ < dirty_lo_) dirty_lo_ = dirty_hi_ = -1;
    }
    if (redraw_on_) {
        --view_rows_;
        endRemoveRows();
    } else {
        note_change_at(row);
    }
}

int64_t TkListModel::remove_many(const std::vector<int64_t>& gone_rows) {
    assert(on_main_thread(this) && !redraw_on_);
    std::vector<TkListRow> gone; // freed after the lock is released
    int64_t first = -1;
    {
        Guard lock(this);
        const int64_t n = static_cast<int64_t>(rows_.size());
        size_t next = 0, kept = 0;
        int64_t below_current = 0;
        bool current_gone = false;
        for (int64_t r = 0; r < n; ++r) {
            const bool drop = next < gone_rows.size() && gone_rows[next] == r;
            if (drop) {
                ++next;
                if (first < 0) first = r;
                if (r < current_) ++below_current;
                if (r == current_) current_gone = true;
                gone.push_back(std::move(rows_[static_cast<size_t>(r)]));
                continue;
            }
            if (kept != static_cast<size_t>(r))
                rows_[kept] = std::move(rows_[static_cast<size_t>(r)]);
            ++kept;
        }
        rows_.resize(kept);
        if (gone.empty()) return 0;
        bump_content_revision();
        note_texts(-1);
        current_ = current_gone ? -1 : current_ - below_current;
        if (dirty_lo_ >= 0) dirty_lo_ = 0, dirty_hi_ = static_cast<int64_t>(kept) - 1;
        if (dirty_hi_ < dirty_lo_) dirty_lo_ = dirty_hi_ = -1;
    }
    note_change_at(first);
    return static_cast<int64_t>(gone.size());
}

// Many rows are given back a slice per turn of the main loop: freeing
// 100,000 texts at once costs the main thread milliseconds it owes the user
// (a filter keystroke, a new listing). They are not given to another thread:
// most of them came from the main thread's heap, and a thread freeing them
// takes that heap's lock for nearly every text, so the rows that replace
// them were made three or four times slower. Nothing of them is shared with
// the list any more: their pictures stay in the list's table.
void TkListModel::free_later(std::vector<TkListRow>& rows) {
    if (rows.size() < kFreeLaterRows) return;
    freed_later_.push_back(std::move(rows));
    if (freed_later_.size() == 1) QTimer::singleShot(0, this, &TkListModel::free_slice);
}

void TkListModel::free_slice() {
    std::vector<TkListRow>& rows = freed_later_.back();
    for (size_t n = 0; n < kFreeSliceRows && !rows.empty(); ++n) rows.pop_back();
    if (rows.empty()) freed_later_.pop_back();
    if (!freed_later_.empty()) QTimer::singleShot(0, this, &TkListModel::free_slice);
}

void TkListModel::clear() {
    assert(on_main_thread(this));
    const bool announce = redraw_on_ && view_rows_ > 0;
    if (announce) beginRemoveRows({}, 0, view_rows_ - 1);
    std::vector<TkListRow> gone; // freed after the lock is released
    {
        Guard lock(this);
        gone.swap(rows_);
        pictures_.resize(1); // no row shows any of them now
        picture_places_.clear();
        pictures_limit_ = kPicturesKept;
        bump_content_revision();
        note_texts(-1);
        current_ = dirty_lo_ = dirty_hi_ = -1;
    }
    if (announce) {
        view_rows_ = 0;
        endRemoveRows();
    } else if (!redraw_on_) {
        note_change_at(0);
    }
    free_later(gone);
}

void TkListModel::exchange_rows(TkListStash& stash) {
    assert(on_main_thread(this) && redraw_on_);
    beginResetModel();
    {
        Guard lock(this);
        rows_.swap(stash.rows);
        pictures_.swap(stash.pictures);
        picture_places_.swap(stash.places);
        std::swap(pictures_limit_, stash.pictures_limit);
        std::swap(current_, stash.current);
        note_texts(-1);
        bump_content_revision();
        dirty_lo_ = dirty_hi_ = -1;
        view_rows_ = static_cast<int>(rows_.size());
    }
    endResetModel();
}

TkListStash* TkListModel::take_rows() {
    auto* stash = new TkListStash;
    exchange_rows(*stash);
    return stash;
}

void TkListModel::put_rows(TkListStash* stash) {
    exchange_rows(*stash);
    free_later(stash->rows);
    delete stash;
}

// Puts old row order[i] at place i, in place, cycle by cycle: no second
// vector of rows to allocate (fresh pages of several megabytes for a large
// list) and no moved-from rows to destroy.
void TkListModel::move_rows(const std::vector<int64_t>& order) {
    const size_t n = order.size();
    std::vector<bool> placed(n);
    for (size_t start = 0; start < n; ++start) {
        if (placed[start]) continue;
        size_t at = start;
        size_t from = static_cast<size_t>(order[at]);
        if (from == at) {
            placed[at] = true;
            continue;
        }
        TkListRow first = std::move(rows_[start]);
        while (from != start) {
            rows_[at] = std::move(rows_[from]);
            placed[at] = true;
            at = from;
            from = static_cast<size_t>(order[at]);
        }
        rows_[at] = std::move(first);
        placed[at] = true;
    }
}

void TkListModel::permute(const std::vector<int64_t>& order) {
    assert(on_main_thread(this));
    const size_t n = order.size();
    if (n != rows_.size()) return;
    std::vector<int64_t> place(n); // old row -> new row
    for (size_t i = 0; i < n; ++i) place[static_cast<size_t>(order[i])] = static_cast<int64_t>(i);
    if (redraw_on_) emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    {
        Guard lock(this);
        move_rows(order);
        bump_content_revision();
        if (current_ >= 0) current_ = place[static_cast<size_t>(current_)];
        if (dirty_lo_ >= 0) dirty_lo_ = 0, dirty_hi_ = static_cast<int64_t>(n) - 1;
    }
    if (!redraw_on_) {
        note_change_at(0);
        return;
    }
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from) {
        const bool known = i.row() >= 0 && static_cast<size_t>(i.row()) < n;
        to.append(known ? index(static_cast<int>(place[static_cast<size_t>(i.row())]), i.column())
                        : QModelIndex());
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

bool TkListModel::set_redraw(bool on) {
    assert(on_main_thread(this));
    if (on == redraw_on_) return false;
    redraw_on_ = on;
    if (!on) {
        kept_ = view_rows_;
        changed_while_off_ = data_while_off_ = false;
        return false;
    }
    // Announce what changed while off: the rows after the unchanged prefix
    // go, the rows now stored there come, each in one step.
    const int n = static_cast<int>(rows_.size());
    if (kept_ < view_rows_) {
        beginRemoveRows({}, static_cast<int>(kept_), view_rows_ - 1);
        view_rows_ = static_cast<int>(kept_);
        endRemoveRows();
    }
    if (n > view_rows_) {
        beginInsertRows({}, view_rows_, n - 1);
        view_rows_ = n;
        endInsertRows();
    }
    if (data_while_off_ && view_rows_ > 0 && !columns_.empty()) {
        emit dataChanged(index(0, 0), index(view_rows_ - 1, static_cast<int>(columns_.size()) - 1));
    }
    return changed_while_off_;
}

// ---- columns, main thread ----

int64_t TkListModel::insert_column(int64_t position, const QString& title) {
    const int64_t n = static_cast<int64_t>(columns_.size());
    const int64_t at = position < 0 || position > n ? n : position;
    beginInsertColumns({}, static_cast<int>(at), static_cast<int>(at));
    columns_.insert(columns_.begin() + at, TkListColumn{title, TkListAlignLeft});
    endInsertColumns();
    return at;
}

void TkListModel::set_column_align(int64_t column, int64_t align) {
    if (column < 0 || column >= static_cast<int64_t>(columns_.size())) return;
    columns_[static_cast<size_t>(column)].align = align;
    emit headerDataChanged(Qt::Horizontal, static_cast<int>(column), static_cast<int>(column));
    if (view_rows_ > 0) {
        emit dataChanged(index(0, static_cast<int>(column)),
                         index(view_rows_ - 1, static_cast<int>(column)));
    }
}

void TkListModel::set_icon_size(int size) {
    icon_size_ = size;
    pixmaps_.clear();
    if (view_rows_ > 0 && !columns_.empty())
        emit dataChanged(index(0, 0), index(view_rows_ - 1, 0));
}

// ---- QAbstractTableModel ----

int TkListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : view_rows_;
}

int TkListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QPixmap TkListModel::picture(const QImage& image) const {
    const qint64 key = image.cacheKey();
    auto hit = pixmaps_.constFind(key);
    if (hit != pixmaps_.constEnd()) return *hit;
    if (pixmaps_.size() > 4096) pixmaps_.clear(); // only visible rows need one
    return *pixmaps_.insert(key, QPixmap::fromImage(tk_list_fit_picture(image, icon_size_)));
}

// The value of one role of one cell; called with mu_ held.
QVariant TkListModel::role_value(const TkListRow& row, int column, int role) const {
    switch (role) {
    case Qt::DisplayRole: {
        auto [start, length] = segment(row.text, column);
        if (start == std::wstring::npos) return QString();
        return tk_qstring(row.text.substr(start, length));
    }
    case Qt::DecorationRole:
        if (column != 0 || row.picture == 0) return {};
        return picture(pictures_[row.picture]);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment_of(columns_[static_cast<size_t>(column)].align));
    case Qt::CheckStateRole:
        if (column != 0 || !check_boxes_) return {};
        return row.state & TkListItemChecked ? Qt::Checked : Qt::Unchecked;
    case Qt::ForegroundRole: return row.front < 0 ? QVariant() : QBrush(color_of(row.front));
    case Qt::BackgroundRole: return row.back < 0 ? QVariant() : QBrush(color_of(row.back));
    default: return {};
    }
}

QVariant TkListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() >= static_cast<int>(columns_.size())) return {};
    Guard lock(this);
    if (static_cast<size_t>(index.row()) >= rows_.size()) return {};
    return role_value(rows_[static_cast<size_t>(index.row())], index.column(), role);
}

// One lock for all the roles a delegate asks about a cell.
void TkListModel::multiData(const QModelIndex& index, QModelRoleDataSpan roles) const {
    if (!index.isValid() || index.column() >= static_cast<int>(columns_.size())) return;
    Guard lock(this);
    if (static_cast<size_t>(index.row()) >= rows_.size()) return;
    const TkListRow& row = rows_[static_cast<size_t>(index.row())];
    for (QModelRoleData& r : roles) r.setData(role_value(row, index.column(), r.role()));
}

bool TkListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !check_boxes_ || !index.isValid() || index.column() != 0) {
        return false;
    }
    const bool checked = value.value<Qt::CheckState>() == Qt::Checked;
    set_state(index.row(), checked ? uint32_t{TkListItemChecked} : 0u, TkListItemChecked);
    emit userChecked(index.row());
    return true;
}

Qt::ItemFlags TkListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
    if (check_boxes_ && index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant TkListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(columns_.size())) {
        return {};
    }
    const TkListColumn& c = columns_[static_cast<size_t>(section)];
    if (role == Qt::DisplayRole) return c.title;
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignment_of(c.align));
    return {};
}
