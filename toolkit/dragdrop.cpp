// Drag and drop of files as text/uri-list, so files move between this
// program and other applications both ways.
//
// Paths travel as bytes: a path's text becomes its file-name bytes
// (rt_text_to_os, lossless for escaped bytes), then a percent-encoded
// file:// URL; a dropped URL goes the same way back. QUrl is not used for
// this because it would turn invalid UTF-8 in a name into U+FFFD.
//
// A drop becomes EventGadgetDrop carrying a drop record (format, action,
// files) that lives until the next event is taken. Main thread only.
#include "runtime/text.h"
#include "toolkit/core_internal.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QTimer>

namespace {

struct DropRecord {
    int64_t format;
    int64_t action;
    std::wstring files;
};

void release_drop(intptr_t data) {
    delete reinterpret_cast<DropRecord*>(data);
}

const char* const kFormatProperty = "ZV_DropFormat";
const char* const kActionsProperty = "ZV_DropActions";
const char* const kUriList = "text/uri-list";
// No one holds a drag this long: it is taken as lost and cancelled.
constexpr int kDragLimitMs = 5 * 60 * 1000;

// ---- what a drag carries ----

int64_t format_of(const QMimeData* mime) {
    if (mime->hasFormat(kUriList) && !tk_uri_list_decode(mime->data(kUriList)).empty())
        return TkDropFiles;
    if (mime->hasImage()) return TkDropImage;
    if (mime->hasText()) return TkDropText;
    return 0;
}

int64_t action_code(Qt::DropAction a) {
    switch (a) {
    case Qt::CopyAction: return TkDropCopy;
    case Qt::MoveAction:
    case Qt::TargetMoveAction: return TkDropMove;
    default: return 0;
    }
}

// The action of a drop: the one the user asks for if this target allows it,
// else copy, else move; Qt::IgnoreAction when nothing fits.
Qt::DropAction choose_action(const QDropEvent* e, int64_t allowed) {
    Qt::DropActions possible = e->possibleActions();
    if (!(allowed & TkDropCopy)) possible &= ~Qt::CopyAction;
    if (!(allowed & TkDropMove)) possible &= ~Qt::MoveAction;
    if (possible & e->proposedAction()) return e->proposedAction();
    if (possible & Qt::CopyAction) return Qt::CopyAction;
    if (possible & Qt::MoveAction) return Qt::MoveAction;
    return Qt::IgnoreAction;
}

// ---- the drop target filter ----

class DropFilter : public QObject {
  public:
    bool eventFilter(QObject* obj, QEvent* e) override {
        const QEvent::Type t = e->type();
        if (t != QEvent::DragEnter && t != QEvent::DragMove && t != QEvent::Drop) return false;
        auto* target = static_cast<QWidget*>(obj);
        auto* de = static_cast<QDropEvent*>(e);
        const int64_t format = target->property(kFormatProperty).toLongLong();
        const Qt::DropAction action =
            format_of(de->mimeData()) == format
                ? choose_action(de, target->property(kActionsProperty).toLongLong())
                : Qt::IgnoreAction;
        if (action == Qt::IgnoreAction) {
            de->ignore();
            return true;
        }
        de->setDropAction(action);
        de->accept();
        if (t == QEvent::Drop) report(target, format, action, de->mimeData());
        return true;
    }

  private:
    static void report(QWidget* target, int64_t format, Qt::DropAction action,
                       const QMimeData* mime) {
        TkGadget* g = tk_gadget_of_widget(target);
        if (!g) return;
        auto* rec = new DropRecord{format, action_code(action), {}};
        if (format == TkDropFiles) rec->files = tk_uri_list_decode(mime->data(kUriList));
        tk_event_generate(EventGadgetDrop, g->number, g->window, 0, reinterpret_cast<intptr_t>(rec),
                          0, release_drop);
    }
};

DropFilter* drop_filter() {
    static DropFilter* filter = new DropFilter; // lives as long as the application
    return filter;
}

const DropRecord* current_drop() {
    const int32_t code = tk_event_code();
    if (code != EventGadgetDrop && code != EventWindowDrop) return nullptr;
    return reinterpret_cast<const DropRecord*>(tk_event_data());
}

// ---- file URLs ----

// Splits a file:// URL into its path bytes; false for other URLs and for
// files on other hosts.
bool file_url_path(QByteArray url, QByteArray& path) {
    if (!url.startsWith("file:")) return false;
    url = url.mid(5);
    if (url.startsWith("//")) {
        const qsizetype slash = url.indexOf('/', 2);
        if (slash < 0) return false;
        const QByteArray host = url.mid(2, slash - 2);
        if (!host.isEmpty() && host != "localhost") return false;
        url = url.mid(slash);
    }
    path = QByteArray::fromPercentEncoding(url);
    return path.startsWith('/');
}

} // namespace

QByteArray tk_uri_list_encode(const std::wstring& paths) {
    QByteArray list;
    size_t start = 0;
    while (start <= paths.size()) {
        size_t end = paths.find(L'\n', start);
        if (end == std::wstring::npos) end = paths.size();
        const std::wstring path = paths.substr(start, end - start);
        if (!path.empty() && path[0] == L'/') {
            const std::string bytes = rt_text_to_os(path);
            list += "file://" +
                    QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))
                        .toPercentEncoding("/") +
                    "\r\n";
        }
        start = end + 1;
    }
    return list;
}

std::wstring tk_uri_list_decode(const QByteArray& uri_list) {
    std::wstring files;
    for (QByteArray line : uri_list.split('\n')) {
        line = line.trimmed();
        QByteArray path;
        if (line.isEmpty() || line.startsWith('#') || !file_url_path(line, path)) continue;
        if (!files.empty()) files += L'\n';
        files += rt_text_from_os(std::string_view(path.constData(), path.size()));
    }
    return files;
}

int64_t tk_gadget_enable_drop(int64_t gadget, int64_t format, int64_t actions) {
    TkGadget* g = tk_gadget_use(gadget, "tk_gadget_enable_drop");
    if (!g) return 0;
    // Scroll areas (lists) receive drags on their viewport.
    QWidget* target = g->widget;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target)) target = area->viewport();
    g->widget->setAcceptDrops(true);
    target->setAcceptDrops(true);
    target->setProperty(kFormatProperty, QVariant::fromValue<qlonglong>(format));
    target->setProperty(kActionsProperty, QVariant::fromValue<qlonglong>(actions));
    target->installEventFilter(drop_filter());
    return 1;
}

int64_t tk_drop_type() {
    const DropRecord* d = current_drop();
    return d ? d->format : 0;
}

int64_t tk_drop_action() {
    const DropRecord* d = current_drop();
    return d ? d->action : 0;
}

std::wstring tk_drop_files() {
    const DropRecord* d = current_drop();
    return d ? d->files : std::wstring();
}

int64_t tk_drag_files(const std::wstring& paths, int64_t actions) {
    const QByteArray list = tk_uri_list_encode(paths);
    Qt::DropActions allowed;
    if (actions & TkDropCopy) allowed |= Qt::CopyAction;
    if (actions & TkDropMove) allowed |= Qt::MoveAction;
    QWidget* source = QApplication::focusWidget();
    if (!source) source = tk_window_widget(tk_event_window());
    if (list.isEmpty() || !allowed || !source || tk_quit_requested()) return 0;
    auto* mime = new QMimeData;
    mime->setData(kUriList, list);
    QDrag drag(source); // takes the mime data
    drag.setMimeData(mime);
    // exec runs an event loop of its own until the drop; a release that
    // never arrives (a grab lost to another client) must not hold the
    // program in it for good.
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] { QDrag::cancel(); });
    limit.start(kDragLimitMs);
    return action_code(
        drag.exec(allowed, (allowed & Qt::CopyAction) ? Qt::CopyAction : Qt::MoveAction));
}
