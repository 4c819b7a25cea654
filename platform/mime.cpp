// Type names and type icons: see mime.h.
#include "platform/mime.h"

#include "runtime/files.h"
#include "runtime/syscalls.h"

// GIO before Qt: Qt defines "signals", a name GIO's headers use.
#include <gio/gio.h>

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
#include <unordered_map>

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
// What GIO calls a type it cannot tell.
constexpr const char* kUnknownType = "application/octet-stream";

const std::vector<std::string> kIconRoots = {"/usr/local/share/icons", "/usr/share/icons"};
const std::vector<std::string> kIconThemes = {"Adwaita", "hicolor"};

// The start of a regular file; false when it cannot be opened (no rights).
bool read_start(const std::string& path, std::string* data) {
    data->assign(kSniffBytes, '\0');
    const int fd = rt_sys.open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) return false;
    const ssize_t n = rt_sys.read(fd, data->data(), data->size());
    rt_sys.close(fd);
    data->resize(n > 0 ? static_cast<size_t>(n) : 0);
    return true;
}

// Types found by looking into files, by the file's identity and state: a
// folder listed again, or refreshed, is not read again unless a file in it
// changed. Bounded: emptied when full.
struct SniffKey {
    dev_t device;
    ino_t inode;
    int64_t size;
    int64_t changed_ns; // modification time
    bool operator==(const SniffKey&) const = default;
};
struct SniffKeyHash {
    size_t operator()(const SniffKey& k) const {
        size_t h = std::hash<uint64_t>()(k.inode);
        for (uint64_t v : {uint64_t(k.device), uint64_t(k.size), uint64_t(k.changed_ns)})
            h = h * 1099511628211ull ^ std::hash<uint64_t>()(v);
        return h;
    }
};
constexpr size_t kSniffCacheLimit = 1 << 17;

class SniffCache {
  public:
    bool find(const SniffKey& key, std::string* type) {
        std::lock_guard guard(lock_);
        const auto it = types_.find(key);
        if (it == types_.end()) return false;
        *type = it->second;
        return true;
    }
    void put(const SniffKey& key, const std::string& type) {
        std::lock_guard guard(lock_);
        if (types_.size() >= kSniffCacheLimit) types_.clear();
        types_.emplace(key, type);
    }

  private:
    std::mutex lock_;
    std::unordered_map<SniffKey, std::string, SniffKeyHash> types_;
};

SniffCache& sniff_cache() {
    static auto* cache = new SniffCache; // never destroyed: workers may still ask at exit
    return *cache;
}

// The shared-mime-info name GIO guesses from a file name or from data; the
// globs are matched through GIO's tables, a fraction of a microsecond a name
// (Qt's matcher builds a regular expression for every complex glob on every
// call, some microseconds a name). Empty when nothing matches.
std::string gio_guess(const char* name, const std::string* data) {
    gboolean uncertain = FALSE;
    const auto* bytes = data ? reinterpret_cast<const guchar*>(data->data()) : nullptr;
    gchar* type = g_content_type_guess(name, bytes, data ? data->size() : 0, &uncertain);
    std::string out = type ? type : "";
    g_free(type);
    return out == kUnknownType ? std::string() : out;
}

// The name's type by its globs. GIO reads the name as UTF-8, so bytes that
// are not valid UTF-8 go to it as U+FFFD.
std::string type_by_name(const std::wstring& path) {
    const std::string bytes = rt_text_to_os(rt_path_name(path));
    gchar* valid = g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size()));
    std::string type = gio_guess(valid, nullptr);
    g_free(valid);
    return type;
}

// A file's MIME type name as a desktop file manager finds it while listing:
// by name first; only a regular file whose name matches nothing is looked
// into. Folders, FIFOs, sockets and devices are never opened (a FIFO would
// block). The file is opened by its exact bytes, so names that are not valid
// UTF-8 are sniffed too. Empty: the type is not known.
std::string type_name_of(const std::wstring& path, bool is_folder) {
    if (is_folder) return "inode/directory";
    std::string by_name = type_by_name(path);
    if (!by_name.empty()) return by_name;
    const std::string os_path = rt_text_to_os(path);
    struct stat s;
    if (rt_sys.stat(os_path.c_str(), &s) != 0) return {};
    for (const SpecialType& t : kSpecialTypes)
        if ((s.st_mode & S_IFMT) == t.format) return t.mime_name;
    if (!S_ISREG(s.st_mode)) return {};
    const SniffKey key{s.st_dev, s.st_ino, static_cast<int64_t>(s.st_size),
                       static_cast<int64_t>(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec};
    std::string type;
    if (sniff_cache().find(key, &type)) return type;
    std::string start;
    if (!read_start(os_path, &start)) return {};
    type = gio_guess(nullptr, &start);
    sniff_cache().put(key, type);
    return type;
}

// The MIME types met so far, numbered from 1 in the order they were first
// met, with their German comments; a number never changes its type. GIO may
// name a type by an alias: both names lead to the type's one number.
struct MimeTable {
    std::mutex lock;
    std::vector<QMimeType> types;                 // number - 1 -> type
    std::vector<std::wstring> comments;           // number - 1 -> comment
    std::unordered_map<std::string, int> numbers; // name or alias -> number
};

MimeTable& mime_table() {
    static auto* table = new MimeTable; // never destroyed: workers may still ask at exit
    return *table;
}

int number_of(const std::string& name) {
    MimeTable& t = mime_table();
    {
        std::lock_guard guard(t.lock);
        if (auto it = t.numbers.find(name); it != t.numbers.end()) return it->second;
    }
    // Qt parses the database and the comment outside the lock.
    pf_mime_init();
    QMimeDatabase db;
    QMimeType type = db.mimeTypeForName(QString::fromStdString(name));
    if (!type.isValid()) type = db.mimeTypeForName(QString::fromLatin1(kUnknownType));
    const std::string canonical = type.name().toStdString();
    std::wstring comment = type.comment().toStdWString();
    std::lock_guard guard(t.lock);
    int number;
    if (auto it = t.numbers.find(canonical); it != t.numbers.end()) {
        number = it->second;
    } else {
        t.types.push_back(type);
        t.comments.push_back(std::move(comment));
        number = static_cast<int>(t.types.size());
        t.numbers.emplace(canonical, number);
    }
    t.numbers.emplace(name, number);
    return number;
}

QMimeType type_of_number(int number) {
    MimeTable& t = mime_table();
    std::lock_guard guard(t.lock);
    if (number < 1 || number > static_cast<int>(t.types.size())) return {};
    return t.types[static_cast<size_t>(number - 1)];
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
    return pf_mime_comment(pf_mime_lookup(path, 0));
}

int pf_mime_lookup(const std::wstring& path, int is_folder) {
    const std::string name = type_name_of(path, is_folder != 0);
    return number_of(name.empty() ? kUnknownType : name);
}

std::wstring pf_mime_comment(int number) {
    MimeTable& t = mime_table();
    std::lock_guard guard(t.lock);
    if (number < 1 || number > static_cast<int>(t.comments.size())) return {};
    return t.comments[static_cast<size_t>(number - 1)];
}

int pf_mime_is_folder(int number) {
    return type_of_number(number).name() == QLatin1String("inode/directory") ? 1 : 0;
}

int pf_mime_icon(int number, int size, std::vector<uint32_t>& rgba) {
    rgba.clear();
    const QMimeType type = type_of_number(number);
    if (size <= 0 || !type.isValid()) return 0;
    const auto pixels = cached_icon(type, size);
    if (pixels->empty()) return 0;
    rgba = *pixels;
    return 1;
}

int pf_type_icon(const std::wstring& path, int is_folder, int size, std::vector<uint32_t>& rgba) {
    rgba.clear();
    if (size <= 0) return 0;
    const auto pixels = cached_icon(type_of_number(pf_mime_lookup(path, is_folder)), size);
    if (pixels->empty()) return 0;
    rgba = *pixels;
    return 1;
}

int pf_icon_file_pixels(const std::string& file, int size, std::vector<uint32_t>& rgba) {
    rgba = size > 0 ? load_icon(file, size) : Pixels();
    return rgba.empty() ? 0 : 1;
}
