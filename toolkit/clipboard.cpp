// Files on the clipboard: see clipboard.h.
#include "toolkit/clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "runtime/text.h"

namespace {

const QString UriList = QStringLiteral("text/uri-list");
const QString GnomeFiles = QStringLiteral("x-special/gnome-copied-files");
const QString KdeCut = QStringLiteral("application/x-kde-cutselection");

QByteArray FileUri(const std::wstring& path) {
    const std::string bytes = rt_text_to_os(path);
    return "file://" + QByteArray(bytes.data(), qsizetype(bytes.size())).toPercentEncoding("/");
}

// The path of a file:// URI, or empty for any other.
std::wstring UriPath(QByteArray uri) {
    uri = uri.trimmed();
    if (!uri.startsWith("file://")) return {};
    uri = uri.mid(7);
    const qsizetype slash = uri.indexOf('/'); // skips a host name ("file://host/...")
    if (slash < 0) return {};
    const QByteArray bytes = QByteArray::fromPercentEncoding(uri.mid(slash));
    return rt_text_from_os(std::string_view(bytes.constData(), size_t(bytes.size())));
}

std::wstring PathsOf(const QList<QByteArray>& lines) {
    std::wstring out;
    for (const QByteArray& line : lines) {
        const std::wstring path = UriPath(line);
        if (path.empty()) continue;
        if (!out.empty()) out += L'\n';
        out += path;
    }
    return out;
}

} // namespace

int64_t tk_clipboard_set_files(const std::wstring& paths, int64_t cut) {
    QByteArray uris, gnome = cut ? "cut" : "copy", plain;
    size_t start = 0;
    while (start < paths.size()) {
        size_t end = paths.find(L'\n', start);
        if (end == std::wstring::npos) end = paths.size();
        const std::wstring path = paths.substr(start, end - start);
        start = end + 1;
        if (path.empty()) continue;
        const QByteArray uri = FileUri(path);
        uris += uri + "\r\n";
        gnome += "\n" + uri;
        const std::string bytes = rt_text_to_os(path);
        plain += QByteArray(bytes.data(), qsizetype(bytes.size())) + "\n";
    }
    if (uris.isEmpty()) return 0;
    auto* data = new QMimeData;
    data->setData(UriList, uris);
    data->setData(GnomeFiles, gnome);
    data->setData(KdeCut, cut ? "1" : "0");
    data->setData(QStringLiteral("text/plain"), plain);
    QApplication::clipboard()->setMimeData(data);
    return 1;
}

std::wstring tk_clipboard_get_files(int64_t* cut) {
    if (cut) *cut = 0;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data) return {};
    if (data->hasFormat(GnomeFiles)) {
        QList<QByteArray> lines = data->data(GnomeFiles).split('\n');
        const bool is_cut = !lines.isEmpty() && lines.first().trimmed() == "cut";
        if (!lines.isEmpty()) lines.removeFirst();
        const std::wstring paths = PathsOf(lines);
        if (!paths.empty()) {
            if (cut) *cut = is_cut ? 1 : 0;
            return paths;
        }
    }
    if (!data->hasFormat(UriList)) return {};
    if (cut) *cut = data->data(KdeCut).trimmed() == "1" ? 1 : 0;
    return PathsOf(data->data(UriList).split('\n'));
}

std::string tk_clipboard_format(const std::string& mime) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data) return {};
    const QByteArray bytes = data->data(QString::fromStdString(mime));
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void tk_clipboard_set_formats(const std::vector<std::pair<std::string, std::string>>& formats) {
    auto* data = new QMimeData;
    for (const auto& [mime, bytes] : formats)
        data->setData(QString::fromStdString(mime),
                      QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    QApplication::clipboard()->setMimeData(data);
}
