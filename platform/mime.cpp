// Type names and type icons: see mime.h.
#include "platform/mime.h"

#include <QImage>
#include <QImageReader>
#include <QLocale>
#include <QMimeDatabase>
#include <QMimeType>
#include <array>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/icon_theme.h"
#include "runtime/text.h"

namespace {

// Files that are not regular files have fixed types; looking into them could
// block (a FIFO) or read a device.
struct SpecialType {
    mode_t format;         // S_IFMT bits
    const char* mime_name; // shared-mime-info name
};
constexpr std::array<SpecialType, 5> kSpecialTypes = {{
    {S_IFDIR, "inode/directory"},
    {S_IFIFO, "inode/fifo"},
    {S_IFCHR, "inode/chardevice"},
    {S_IFBLK, "inode/blockdevice"},
    {S_IFSOCK, "inode/socket"},
}};

// As much of a file's start as the MIME magic rules look at.
constexpr size_t kSniffBytes = 16384;

const std::vector<std::string> kIconRoots = {"/usr/local/share/icons", "/usr/share/icons"};
const std::vector<std::string> kIconThemes = {"Adwaita", "hicolor"};

std::string read_start(const std::string& path) {
    std::string data(kSniffBytes, '\0');
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return {};
    const ssize_t n = read(fd, data.data(), data.size());
    close(fd);
    data.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return data;
}

// The file's MIME type from its name and contents. The file is opened by its
// exact bytes, so names that are not valid UTF-8 are sniffed too; only the
// name's extension goes through QString.
QMimeType mime_of(const std::wstring& path, bool is_folder) {
    pf_mime_init();
    QMimeDatabase db;
    if (is_folder) return db.mimeTypeForName("inode/directory");
    const std::string os_path = rt_text_to_os(path);
    const QString name = QString::fromStdWString(path.substr(path.find_last_of(L'/') + 1));
    struct stat s;
    if (stat(os_path.c_str(), &s) != 0)
        return db.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    for (const SpecialType& t : kSpecialTypes)
        if ((s.st_mode & S_IFMT) == t.format) return db.mimeTypeForName(t.mime_name);
    if (access(os_path.c_str(), R_OK) != 0)
        return db.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    const std::string start = read_start(os_path);
    return db.mimeTypeForFileNameAndData(name, QByteArray(start.data(), qsizetype(start.size())));
}

using Pixels = std::vector<uint32_t>;

// Decodes an icon file at size x size; an image that is not square is scaled
// to fit and centred on a transparent square.
Pixels load_icon(const std::string& file, int size) {
    QImageReader reader(QString::fromStdString(file));
    if (file.ends_with(".svg")) reader.setScaledSize(QSize(size, size));
    QImage image = reader.read();
    if (image.isNull()) return {};
    if (image.width() != size || image.height() != size)
        image = image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    image = image.convertToFormat(QImage::Format_ARGB32);
    Pixels out(size_t(size) * size, 0);
    const int x0 = (size - image.width()) / 2, y0 = (size - image.height()) / 2;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        std::copy(row, row + image.width(), out.begin() + (size_t(y0 + y) * size + x0));
    }
    return out;
}

// Icon pixels per MIME type and size; an empty entry remembers "no icon".
std::shared_ptr<const Pixels> cached_icon(const QMimeType& type, int size) {
    static std::mutex lock;
    static std::map<std::pair<std::string, int>, std::shared_ptr<const Pixels>> cache;
    const auto key = std::make_pair(type.name().toStdString(), size);
    {
        std::lock_guard guard(lock);
        if (auto it = cache.find(key); it != cache.end()) return it->second;
    }
    // Decoding runs outside the lock so that the two panes' workers do not
    // wait for each other; a type loaded twice at once is merely wasted work.
    const std::string file = pf_icon_theme_find(
        kIconRoots, kIconThemes,
        {type.iconName().toStdString(), type.genericIconName().toStdString()}, size);
    auto pixels = std::make_shared<const Pixels>(file.empty() ? Pixels() : load_icon(file, size));
    std::lock_guard guard(lock);
    return cache.emplace(key, pixels).first->second;
}

} // namespace

// The MIME comments come out in the default locale's language; the program
// speaks German whatever the user's locale is.
void pf_mime_init() {
    static std::once_flag once;
    std::call_once(once, [] { QLocale::setDefault(QLocale(QLocale::German)); });
}

std::wstring pf_type_name(const std::wstring& path, int is_folder) {
    if (is_folder) return L"Dateiordner";
    return mime_of(path, false).comment().toStdWString();
}

int pf_type_icon(const std::wstring& path, int is_folder, int size, std::vector<uint32_t>& rgba) {
    rgba.clear();
    if (size <= 0) return 0;
    const auto pixels = cached_icon(mime_of(path, is_folder != 0), size);
    if (pixels->empty()) return 0;
    rgba = *pixels;
    return 1;
}

int pf_icon_file_pixels(const std::string& file, int size, std::vector<uint32_t>& rgba) {
    rgba = size > 0 ? load_icon(file, size) : Pixels();
    return rgba.empty() ? 0 : 1;
}
