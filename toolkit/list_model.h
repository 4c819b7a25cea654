// The row store behind one list gadget, and its Qt table model.
//
// Rows are small records in one std::vector guarded by `mu_`; the row
// accessors marked "any thread" take the lock and may be called by workers.
// A change from any thread marks its row dirty and schedules at most one
// queued flush; the flush runs on the main thread once the burst of changes
// pauses (or every few dozen ms while it goes on) and emits one dataChanged
// for the whole dirty span, so a worker's thousands of changes become a few
// repaints. Row-count and row-order changes (insert, remove, clear, reorder) are
// main-thread only; so is everything that talks to the view.
//
// Selection and check marks are kept in the rows' state bits, which are the
// truth for readers on any thread; the view copies the user's selection
// changes into them and rebuilds its selection from them after bulk changes.
//
// Redraw off: inserts and removals only touch the vector; the view keeps
// seeing the row count it was last told (`view_rows_`), and redraw on
// announces the difference in one removal and one insertion.
//
// Signals are never emitted with `mu_` held, so a slot may call back in. A
// visit of the rows holds `mu_` for its whole run on the main thread, which
// then reads rows without locking (see hold_rows).
#pragma once

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "toolkit/list.h"

struct TkListRow {
    std::wstring text;    // column texts joined by '\n'
    uint32_t picture = 0; // the row's picture in the list's table (pictures_); 0 = none
    int64_t data = 0;     // item data (tk_gadget_set_item_data)
    int32_t front = -1;   // text colour 0xBBGGRR, -1 = the list's own
    int32_t back = -1;    // background colour 0xBBGGRR, -1 = the list's own
    uint32_t state = 0;   // TkListItemSelected | TkListItemChecked | kTkListStateLinkMark
    uint32_t tag = 0;     // the application's bits (tk_list_item_tag); fills padding
};

// State bit of a row's TkListMarkLink, beside the item state bits of list.h.
constexpr uint32_t kTkListStateLinkMark = 0x100;
// The bits tk_gadget_get_item_state and set_item_state deal in.
constexpr uint32_t kTkListItemStateBits = TkListItemSelected | TkListItemChecked;

// Rows set aside whole (tk_list_take_rows): the rows with the picture table
// their picture numbers refer to, and the current row.
struct TkListStash {
    std::vector<TkListRow> rows;
    std::vector<QImage> pictures{QImage()};
    QHash<qint64, uint32_t> places;
    size_t pictures_limit = 1024;
    int64_t current = -1;
};

struct TkListColumn {
    QString title;                   // header text
    int64_t align = TkListAlignLeft; // TkListAlign…
};

class TkListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit TkListModel(QObject* parent, bool check_boxes);

    // ---- rows, any thread ----
    int64_t count() const;
    std::wstring text(int64_t row, int64_t column) const;
    void set_text(int64_t row, int64_t column, const std::wstring& text);
    int64_t item_data(int64_t row) const;
    uint32_t tag(int64_t row) const;
    void set_tag(int64_t row, uint32_t tag);
    // column-0 text, data and tag of a row at once; false when absent
    bool peek(int64_t row, std::wstring* name, int64_t* data, uint32_t* tag) const;
    // applies change when column 0 of row is still name (see list.h)
    bool change_if(int64_t row, const std::wstring& name, const TkListItemChange& change,
                   const QImage* picture);
    void set_item_data(int64_t row, int64_t value);
    // picture null: the row shows none; the picture is copied (shallowly)
    void set_image(int64_t row, const QImage* picture);
    QImage image(int64_t row) const; // the row's own picture, null if none
    void set_color(int64_t row, int which, int64_t bgr);
    uint32_t state(int64_t row) const;
    // TkListMark… of a row (kept in its state bits); setting repaints it.
    int64_t mark(int64_t row) const;
    void set_mark(int64_t row, int64_t mark);
    // Changes the bits in `mask` to `bits`; the view follows at the next
    // flush (main thread: the caller syncs the view itself).
    void set_state(int64_t row, uint32_t bits, uint32_t mask);
    // Main thread: sets the bits of rows first..last without telling anyone
    // (the view calls it to record the user's selection).
    void set_state_range(int64_t first, int64_t last, uint32_t bits, uint32_t mask);
    // Clears `mask` in every row except `keep` (-1: in every row).
    void clear_state_except(int64_t keep, uint32_t mask);
    // Runs of selected rows among the first `limit` rows, as first..last.
    std::vector<std::pair<int, int>> selected_ranges(int limit) const;
    int64_t next_with_state(int64_t after, uint32_t mask) const;
    int64_t count_with_state(uint32_t mask) const;
    int64_t current_row() const;
    void set_current_row(int64_t row); // -1 = none; out of range = none
    // The distinct texts of the greatest length in a column, at most
    // `limit` of them: in a proportional font the widest cell is among the
    // longest, so measuring these stands for measuring every row. Several
    // columns are found in one pass over the rows: [i] is columns[i]'s.
    std::vector<std::vector<std::wstring>> longest_texts(const std::vector<int64_t>& columns,
                                                         size_t limit) const;
    // Changes to the rows so far: equal counts mean equal contents.
    uint64_t writes() const { return writes_.load(std::memory_order_relaxed); }
    // A number that changes with every change of texts, item data, the row
    // count or order (pictures, states and tags leave it alone), unique
    // across all lists: equal numbers mean the same list with equal sort keys.
    uint64_t content_revision() const { return content_revision_.load(std::memory_order_relaxed); }
    // Changes of a column's texts and of the set of rows so far (a reorder
    // leaves it alone): equal counts mean the column holds the same texts.
    uint64_t column_revision(int64_t column) const;

    // ---- structure, main thread ----
    // position -1 (or past the end) appends; returns the new row's index
    int64_t insert(int64_t position, const std::wstring& text, const QImage* picture,
                   int64_t data = 0, uint32_t tag = 0);
    // appends the rows, taking their texts over; returns how many
    int64_t append(std::vector<TkListNewRow>& rows);
    // every row in order, under the row lock (see tk_list_visit_rows)
    int64_t visit(TkListRowVisitor visit, intptr_t user);
    void remove(int64_t row);
    // rows ascending, each once; only while redraw is off; returns the count
    int64_t remove_many(const std::vector<int64_t>& rows);
    void clear();
    // The rows go into a stash (the list is left empty) / the stash's rows
    // become the list's (those it had are freed, the stash is deleted). Both
    // reset the model; the caller syncs the view's selection. Redraw on only.
    TkListStash* take_rows();
    void put_rows(TkListStash* stash);
    // Applies a permutation (sorted[i] = old row order[i]); main thread.
    void permute(const std::vector<int64_t>& order);
    bool redraw_on() const { return redraw_on_; }
    // Returns true when the view must rebuild its selection afterwards.
    bool set_redraw(bool on);
    // True between hold_rows and release_rows on this thread: the rows are
    // being walked, so nothing may add, remove or move them (nor take the
    // lock again, which would wait for itself).
    bool rows_held_here() const;

    // ---- columns, main thread ----
    int64_t insert_column(int64_t position, const QString& title);
    void set_column_align(int64_t column, int64_t align);
    int64_t column_count() const { return static_cast<int64_t>(columns_.size()); }
    void set_icon_size(int size);
    int icon_size() const { return icon_size_.load(); }

    // ---- test and benchmark seam ----
    bool flush_pending() const;

    // ---- QAbstractTableModel ----
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void multiData(const QModelIndex& index, QModelRoleDataSpan roles) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  signals:
    // the user ticked or cleared a row's check box (through setData)
    void userChecked(int row);
    // a worker changed state bits: the view must copy them into its selection
    void selectionDirty();

  private slots:
    void flush();
    void free_slice();

  private:
    bool flush_now(); // false: the burst goes on, the flush comes later

    // From hold_rows to release_rows this thread holds the row lock: workers'
    // row operations wait, and this thread's own row calls (from inside a
    // visitor) pass without locking. hold_rows returns the model this thread
    // held before (a visitor may visit another list), for release_rows to
    // restore.
    TkListModel* hold_rows();
    void release_rows(TkListModel* outer);

    // Takes mu_ unless this thread holds it (hold_rows).
    class Guard {
      public:
        explicit Guard(const TkListModel* model);
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

      private:
        const TkListModel* model_;
        bool taken_;
    };

    void move_rows(const std::vector<int64_t>& order); // under mu_
    void exchange_rows(TkListStash& stash);            // with the model reset
    void note_texts(int64_t column);          // column's texts changed; -1: rows came or went
    static uint64_t fresh_content_revision(); // unique across all lists
    void bump_content_revision() const;
    void free_later(std::vector<TkListRow>& rows); // many rows: freed a slice per loop turn
    void mark_dirty_locked(int64_t row);
    void schedule_flush_locked();
    QVariant role_value(const TkListRow& row, int column, int role) const;
    QPixmap picture(const QImage& image) const;
    uint32_t intern_picture_locked(const QImage& image);
    void collect_pictures_locked();
    void note_change_at(int64_t row);

    mutable std::mutex mu_;           // guards the fields down to column_writes_
    std::vector<TkListRow> rows_;     // any thread under mu_; count: main only
    int64_t current_ = -1;            // current row, -1 = none
    int64_t dirty_lo_ = -1;           // first dirty row, -1 = none
    int64_t dirty_hi_ = -1;           // last dirty row
    bool state_dirty_ = false;        // state bits changed off the main thread
    bool flush_pending_ = false;      // a queued flush is on its way
    std::atomic<uint64_t> writes_{0}; // changes so far (under mu_; read freely)
    mutable std::atomic<uint64_t> content_revision_{
        fresh_content_revision()};               // see content_revision
    static constexpr size_t kTrackedColumns = 8; // later columns share the last count
    std::atomic<uint64_t> rows_revision_{0};     // rows added or removed (likewise)
    std::atomic<uint64_t> column_writes_[kTrackedColumns] = {}; // texts written, by column
    // The rows' pictures, each kept once (a copy: the image may change
    // later) and named by its place here; [0] is none. Rows move by the
    // index alone, and a row is a cache line smaller than with its own
    // image. Past pictures_limit_ the table drops what no row shows.
    static constexpr size_t kPicturesKept = 1024; // table size that starts the first clean-up
    std::vector<QImage> pictures_{QImage()};
    QHash<qint64, uint32_t> picture_places_; // QImage::cacheKey -> place in pictures_
    size_t pictures_limit_ = kPicturesKept;

    // main thread only
    std::vector<TkListColumn> columns_; // header titles and alignment
    int view_rows_ = 0;                 // row count the view was last told
    QElapsedTimer burst_;               // since the first flush of a running burst; invalid: none
    uint64_t writes_seen_ = 0;          // writes_ at the last look at the burst
    std::vector<std::vector<TkListRow>> freed_later_; // cleared rows still to be freed
    bool redraw_on_ = true;                           // false between redraw off and on
    int64_t kept_ = 0;                       // while off: leading rows the view still knows
    bool data_while_off_ = false;            // row contents changed while off: repaint at on
    bool changed_while_off_ = false;         // rows, order or states changed while off
    bool check_boxes_ = false;               // rows carry a check box
    std::atomic<int> icon_size_{16};         // pixels, pictures are scaled to it; any thread reads
    mutable QHash<qint64, QPixmap> pixmaps_; // picture cache by QImage::cacheKey
};

// The picture as a row shows it: scaled (keeping its shape) to size x size.
QImage tk_list_fit_picture(const QImage& image, int size);
