// The gadget table (numbers -> TkGadget records, with "any" numbers that are
// the record's own address) and the gadget list, the stack of parents that
// new gadgets go into.
//
// The numbered table (numbered_table.h) takes its own lock, so lookups by
// number may come from any thread (list rows changed by workers); the widget
// map has a lock of its own. Creating, destroying and the widget map are
// main-thread work. A destroyed gadget's widget is hidden at once and deleted
// by the next wait, so a gadget may be freed from inside its own signal.
#include "toolkit/core_internal.h"
#include "toolkit/numbered_table.h"

#include <QVariant>
#include <cassert>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

TkNumberTable<TkGadget>& gadgets() {
    static auto* table =
        new TkNumberTable<TkGadget>("gadget"); // never destroyed: workers may ask late
    return *table;
}
std::mutex g_widget_lock;
std::unordered_map<const QWidget*, TkGadget*> g_by_widget; // main thread, under the lock too

std::vector<QPointer<QWidget>> g_parents; // the gadget list, last = current

const char* const kContainerProperty = "ZV_Container";

// Takes a gadget out of the table; the caller destroys it.
std::unique_ptr<TkGadget> take(int64_t number) {
    std::unique_ptr<TkGadget> g = gadgets().take(number);
    if (g) {
        std::lock_guard lock(g_widget_lock);
        g_by_widget.erase(g->widget);
    }
    return g;
}

void forget_parents_inside(QWidget* gone);

// Kind data first (the kind may still need its widget), then the widget.
void destroy(std::unique_ptr<TkGadget> g) {
    if (g->ops && g->ops->destroy) g->ops->destroy(g.get());
    if (QWidget* w = g->widget) {
        forget_parents_inside(w); // a container being freed is no parent any more
        w->hide();
        w->setProperty("ZV_ID", QVariant());
        w->deleteLater();
    }
}

void drop_dead_parents() {
    while (!g_parents.empty() && !g_parents.back()) g_parents.pop_back();
}

void forget_parents_inside(QWidget* gone) {
    std::erase_if(g_parents, [&](const QPointer<QWidget>& p) {
        return !p || p == gone || gone->isAncestorOf(p);
    });
}

} // namespace

// ---- the gadget list ----

QWidget* tk_current_parent() {
    drop_dead_parents();
    return g_parents.empty() ? nullptr : g_parents.back().data();
}

int64_t tk_current_window() {
    QWidget* parent = tk_current_parent();
    return parent ? tk_window_of_widget(parent) : -1;
}

void tk_gadget_list_push(QWidget* container) {
    if (!container) return;
    container->setProperty(kContainerProperty, true);
    g_parents.emplace_back(container);
}

void tk_gadget_list_close() {
    drop_dead_parents();
    if (!g_parents.empty()) g_parents.pop_back();
}

int64_t tk_gadget_list_open(int64_t container) {
    TkGadget* g = tk_gadget_lookup(container);
    if (!g || !tk_gadget_is_container(g->widget)) return 0;
    g_parents.emplace_back(g->widget);
    return 1;
}

bool tk_gadget_is_container(const QWidget* w) {
    return w && w->property(kContainerProperty).toBool();
}

void tk_gadget_list_forget(QWidget* window_widget) {
    forget_parents_inside(window_widget);
}

// ---- the table ----

int64_t tk_gadget_register(int64_t number, QWidget* widget, const TkGadgetOps* ops, void* kind_data,
                           int x, int y, int width, int height) {
    assert(tk_on_main_thread());
    const TkGadget* old = number > -1 ? gadgets().find(number) : nullptr;
    const int64_t old_window = old ? old->window : kTkAnyNumber;
    if (old) tk_gadget_destroy(number); // before choosing the parent: it may be the old one
    QWidget* parent = tk_current_parent();
    if (old && parent && tk_window_of_widget(parent) != old_window)
        tk_duplicate_report("gadget", number, ("in window " + std::to_string(old_window)).c_str(),
                            "creating a gadget in another window");
    auto g = std::make_unique<TkGadget>();
    g->widget = widget;
    g->ops = ops;
    g->kind_data = kind_data;
    if (!parent || !widget || !ops || number < -1) {
        if (widget) g->widget->setParent(nullptr);
        destroy(std::move(g)); // nothing to put it in: give back what we were handed
        return 0;
    }
    TkGadget* raw = g.get();
    raw->number = number == -1 ? static_cast<int64_t>(reinterpret_cast<intptr_t>(raw)) : number;
    raw->window = tk_window_of_widget(parent);
    widget->setParent(parent);
    widget->setGeometry(x, y, width, height);
    widget->setFont(tk_default_gadget_font());
    widget->setProperty("ZV_ID", QVariant::fromValue<qlonglong>(raw->number));
    {
        std::lock_guard lock(g_widget_lock);
        g_by_widget[widget] = raw;
    }
    std::unique_ptr<TkGadget> none; // the number was freed above
    gadgets().put(raw->number, std::move(g), none);
    widget->show();
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(raw));
}

TkGadget* tk_gadget_lookup(int64_t number) {
    return gadgets().find(number);
}

TkGadget* tk_gadget_use(int64_t number, const char* operation) {
    return gadgets().use(number, operation);
}

TkGadget* tk_gadget_of_widget(const QWidget* w) {
    std::lock_guard lock(g_widget_lock);
    for (; w; w = w->parentWidget()) {
        auto it = g_by_widget.find(w);
        if (it != g_by_widget.end()) return it->second;
        if (w->property("ZV_WindowID").isValid()) break; // the window itself is no gadget
    }
    return nullptr;
}

void tk_gadget_destroy(int64_t number) {
    assert(tk_on_main_thread());
    if (auto g = take(number)) destroy(std::move(g));
}

void tk_gadgets_destroy_of_window(int64_t window) {
    std::vector<int64_t> numbers;
    gadgets().each([&](int64_t number, const TkGadget* g) {
        if (window == -1 || g->window == window) numbers.push_back(number);
    });
    for (int64_t n : numbers) tk_gadget_destroy(n);
}
