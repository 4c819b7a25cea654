// The event queue: generation with suspension and coalescing, bound
// callbacks, taking events, and posting from other threads.
//
// Each thread has its own queue and current event (thread_local), so queue
// operations need no lock: only the main thread runs windows and takes
// events, and workers reach its queue only through tk_event_post, which goes
// through Qt's own thread-safe posted-event list. The bound-callback map is
// the one structure threads share; it has its own mutex, which is never held
// while a callback runs (a callback may bind, unbind, or even wait).
#include "toolkit/core_internal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <array>
#include <atomic>
#include <cassert>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

namespace {

struct EventRecord {
    int32_t code = 0;
    uint32_t flags = 0;
    int64_t object = 0;
    int64_t window = -1;
    int64_t type = -1;
    intptr_t data = 0;
    void (*release)(intptr_t) = nullptr; // owner of data, run when the next event is taken
};

struct ThreadEvents {
    int32_t suspended = 0;
    EventRecord current;
    std::deque<EventRecord> queue;
};
thread_local ThreadEvents t_events;

// ---- bound callbacks ----

struct BindKey {
    int32_t code;
    int64_t window, object, type;
    bool operator==(const BindKey&) const = default;
};
struct BindKeyHash {
    size_t operator()(const BindKey& k) const {
        size_t h = std::hash<int64_t>()(k.code);
        for (int64_t v : {k.window, k.object, k.type}) h = h * 1000003u ^ std::hash<int64_t>()(v);
        return h;
    }
};
struct Binding {
    TkCallback callback;
    std::atomic<bool> active{true};
};
using BindingList = std::vector<std::shared_ptr<Binding>>; // oldest first

std::mutex g_bind_lock;
std::unordered_map<BindKey, BindingList, BindKeyHash> g_bindings;

// Runs the active callbacks of one key, newest first, then drops the
// inactive ones. The list is copied so callbacks may change the map.
void run_key(const BindKey& key) {
    BindingList snapshot;
    {
        std::lock_guard lock(g_bind_lock);
        auto it = g_bindings.find(key);
        if (it == g_bindings.end()) return;
        snapshot = it->second;
    }
    for (auto b = snapshot.rbegin(); b != snapshot.rend(); ++b)
        if ((*b)->active.load()) (*b)->callback();
    std::lock_guard lock(g_bind_lock);
    auto it = g_bindings.find(key);
    if (it == g_bindings.end()) return;
    std::erase_if(it->second, [](const auto& b) { return !b->active.load(); });
    if (it->second.empty()) g_bindings.erase(it);
}

// The five keys in their fixed order; a key equal to an earlier one is
// skipped so that no callback runs twice for one event.
void run_callbacks(const EventRecord& ev) {
    const std::array<BindKey, 5> keys = {{
        {ev.code, ev.window, ev.object, ev.type},
        {ev.code, ev.window, ev.object, -1},
        {ev.code, ev.window, -1, -1},
        {ev.code, -1, -1, -1},
        {ev.code, -1, ev.object, ev.type},
    }};
    for (size_t i = 0; i < keys.size(); ++i) {
        bool seen = false;
        for (size_t j = 0; j < i; ++j) seen = seen || keys[j] == keys[i];
        if (!seen) run_key(keys[i]);
    }
}

bool has_bindings(int32_t code) {
    std::lock_guard lock(g_bind_lock);
    for (const auto& [key, list] : g_bindings)
        if (key.code == code) return true;
    return false;
}

bool repeats_last(const ThreadEvents& t, const EventRecord& ev) {
    if (t.queue.empty() || ev.code >= EventFirstUncoalesced || (ev.flags & TkEventDeferred))
        return false;
    const EventRecord& last = t.queue.back();
    return last.code == ev.code && last.object == ev.object && last.window == ev.window &&
           last.type == ev.type && last.data == ev.data;
}

void release_data(EventRecord& ev) {
    if (ev.release) ev.release(ev.data);
    ev.release = nullptr;
    ev.data = 0;
}

// ---- posting ----

const QEvent::Type kPostedType = static_cast<QEvent::Type>(QEvent::registerEventType());

struct PostedEvent : QEvent {
    PostedEvent(int32_t c, int64_t w, int64_t o, int64_t t, intptr_t d)
        : QEvent(kPostedType), code(c), window(w), object(o), type(t), data(d) {}
    int32_t code;
    int64_t window, object, type;
    intptr_t data;
};

// Lives on the main thread; turns posted messages into events there.
class Poster : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() != kPostedType) return QObject::event(e);
        auto* p = static_cast<PostedEvent*>(e);
        tk_event_generate(p->code, p->object, p->window, p->type, p->data, TkEventPosted);
        return true;
    }
};
// Never deleted once made: a worker may still be posting while the toolkit
// stops, and posting to a dying object would race with its destructor.
std::atomic<Poster*> g_poster{nullptr};
std::atomic<bool> g_posting{false};

} // namespace

// ---- generation ----

void tk_event_generate(int32_t code, int64_t object, int64_t window, int64_t type, intptr_t data,
                       uint32_t flags, void (*release)(intptr_t)) {
    ThreadEvents& t = t_events;
    EventRecord ev{code, flags, object, window, type, data, release};
    if (t.suspended && !(flags & TkEventPosted)) {
        release_data(ev); // dropped events still give their data back
        return;
    }
    const bool queued = !repeats_last(t, ev);
    if (queued) t.queue.push_back(ev);
    if (!(flags & TkEventDeferred) && has_bindings(code)) {
        EventRecord saved = t.current;
        t.current = ev;
        t.current.release = nullptr; // the queue (or the code below) owns the data
        run_callbacks(ev);
        t.current = saved;
    }
    if (!queued) release_data(ev);
}

void tk_event_remove_queued(int32_t code, int64_t window, int64_t object, int64_t type) {
    std::erase_if(t_events.queue, [&](EventRecord& ev) {
        const bool match =
            ev.code == code && ev.window == window && ev.object == object && ev.type == type;
        if (match) release_data(ev);
        return match;
    });
}

TkSuspend::TkSuspend() {
    ++t_events.suspended;
}
TkSuspend::~TkSuspend() {
    --t_events.suspended;
}

// ---- taking ----

namespace {

// Steps every wait starts with: forget the last event's code, give back its
// data, and mark the type as "no event".
void begin_take(ThreadEvents& t) {
    t.current.code = 0;
    release_data(t.current);
    t.current.type = -1;
}

int32_t take_first(ThreadEvents& t) {
    t.current = t.queue.front();
    t.queue.pop_front();
    if (t.current.flags & TkEventDeferred) run_callbacks(t.current);
    return t.current.code;
}

// Gadgets and windows freed by the program are deleted here, outside any
// Qt signal that might still be running on them.
void flush_deleted() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

int32_t tk_event_wait() {
    assert(tk_on_main_thread());
    ThreadEvents& t = t_events;
    begin_take(t);
    if (!t.queue.empty()) return take_first(t);
    if (!QCoreApplication::instance()) return 0;
    flush_deleted();
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return t.queue.empty() ? 0 : take_first(t);
}

int32_t tk_event_wait_timeout(int64_t milliseconds) {
    assert(tk_on_main_thread());
    ThreadEvents& t = t_events;
    begin_take(t);
    if (!t.queue.empty()) return take_first(t);
    if (!QCoreApplication::instance()) return 0;
    flush_deleted();
    if (milliseconds <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return t.queue.empty() ? 0 : take_first(t);
    }
    // Keep waiting through rounds that produce no event (a repaint, a mouse
    // move) until the time is up, so a timed wait really waits.
    QTimer wake;
    wake.setSingleShot(true);
    QElapsedTimer clock;
    clock.start();
    while (t.queue.empty() && clock.elapsed() < milliseconds) {
        wake.start(static_cast<int>(std::min<int64_t>(milliseconds - clock.elapsed(), 1 << 30)));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return t.queue.empty() ? 0 : take_first(t);
}

int32_t tk_event_code() {
    return t_events.current.code;
}
int64_t tk_event_window() {
    return t_events.current.window;
}
int64_t tk_event_gadget() {
    return t_events.current.object;
}
int64_t tk_event_menu() {
    return t_events.current.object;
}
int64_t tk_event_type() {
    return t_events.current.type;
}
intptr_t tk_event_data() {
    return t_events.current.data;
}

// ---- binding ----

int64_t tk_event_bind(int32_t code, TkCallback callback, int64_t window, int64_t object,
                      int64_t type) {
    if (!callback) return 0;
    std::lock_guard lock(g_bind_lock);
    BindingList& list = g_bindings[{code, window, object, type}];
    for (auto& b : list)
        if (b->callback == callback) b->active = false; // replaced by the newest entry
    std::erase_if(list, [&](const auto& b) { return b->callback == callback; });
    auto b = std::make_shared<Binding>();
    b->callback = callback;
    list.push_back(std::move(b));
    return 1;
}

int64_t tk_event_unbind(int32_t code, TkCallback callback, int64_t window, int64_t object,
                        int64_t type) {
    std::lock_guard lock(g_bind_lock);
    auto it = g_bindings.find({code, window, object, type});
    if (it == g_bindings.end()) return 0;
    int64_t found = 0;
    for (auto& b : it->second)
        if (b->callback == callback && b->active.exchange(false)) found = 1;
    return found;
}

int64_t tk_event_unbind_object(int32_t code, TkCallback callback, int64_t object) {
    std::lock_guard lock(g_bind_lock);
    int64_t found = 0;
    for (auto& [key, list] : g_bindings) {
        if (key.code != code || key.object != object) continue;
        for (auto& b : list)
            if (b->callback == callback && b->active.exchange(false)) found = 1;
    }
    return found;
}

// ---- posting ----

int64_t tk_event_post(int32_t code, int64_t window, int64_t object, int64_t type, intptr_t data) {
    Poster* poster = g_poster.load();
    if (!poster || !g_posting.load()) return 0;
    PostedEvent* e = new (std::nothrow) PostedEvent(code, window, object, type, data);
    if (!e) return 0;
    QCoreApplication::postEvent(poster, e);
    return 1;
}

void tk_poster_start() {
    if (!g_poster.load()) g_poster.store(new Poster);
    g_posting.store(true);
}

void tk_poster_stop() {
    g_posting.store(false);
}

void tk_events_reset() {
    ThreadEvents& t = t_events;
    for (auto& ev : t.queue) release_data(ev);
    t.queue.clear();
    release_data(t.current);
    t.current = EventRecord{};
    std::lock_guard lock(g_bind_lock);
    g_bindings.clear();
}
