// Type names from the MIME database, icons from the installed themes and a
// fake theme, and the icon cache under concurrent callers.
#include <QImage>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/icon_theme.h"
#include "platform/mime.h"
#include "runtime/text.h"
#include "test_support.h"

namespace {

std::wstring w(const std::string& s) {
    return rt_text_from_os(s);
}

void save_png(const std::string& path, int size, QColor colour) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
}

// A theme with the sizes 16 and 48 of one icon and only 32 of another.
void make_theme(const TempDir& t) {
    ASSERT_EQ(0, system(("mkdir -p " + t / "icons/Test/16x16/mimetypes " +
                         t / "icons/Test/48x48/mimetypes " + t / "icons/Test/32x32/places")
                            .c_str()));
    t.write("icons/Test/index.theme", "[Icon Theme]\nName=Test\n"
                                      "Directories=16x16/mimetypes,32x32/places,48x48/mimetypes\n\n"
                                      "[16x16/mimetypes]\nSize=16\nType=Fixed\n\n"
                                      "[32x32/places]\nSize=32\nType=Fixed\n\n"
                                      "[48x48/mimetypes]\nSize=48\nType=Fixed\n");
    save_png(t / "icons/Test/16x16/mimetypes/text-x-generic.png", 16, Qt::red);
    save_png(t / "icons/Test/48x48/mimetypes/text-x-generic.png", 48, Qt::green);
    save_png(t / "icons/Test/32x32/places/folder.png", 32, Qt::blue);
}

} // namespace

TEST(Mime, GermanTypeNames) {
    TempDir t;
    t.write("brief.txt", "Hallo Welt\n");
    t.write("bild.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(32, '\0'));
    t.write("ohne_endung_pdf", "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
    t.write("leer", "");
    t.write("zufall", std::string("\x01\x02\xff\xfe\x00\x10\x80\x81", 8));
    EXPECT_EQ(L"Dateiordner", pf_type_name(w(t.path()), 1));
    EXPECT_EQ(L"Einfaches Textdokument", pf_type_name(w(t / "brief.txt"), 0));
    EXPECT_EQ(L"PNG-Bild", pf_type_name(w(t / "bild.png"), 0));
    EXPECT_EQ(L"PDF-Dokument", pf_type_name(w(t / "ohne_endung_pdf"), 0)); // by contents
    EXPECT_EQ(L"Leeres Dokument", pf_type_name(w(t / "leer"), 0));
    EXPECT_EQ(L"unbekannt", pf_type_name(w(t / "zufall"), 0));
    // A file that is gone is still named by its extension.
    EXPECT_EQ(L"PDF-Dokument", pf_type_name(w(t / "weg.pdf"), 0));
}

// What a file's contents said is remembered while the file stays as it was,
// and asked again once it changed.
TEST(Mime, ContentTypesAreLookedAtAgainWhenTheFileChanges) {
    TempDir t;
    t.write("wechsel", "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
    EXPECT_EQ(L"PDF-Dokument", pf_type_name(w(t / "wechsel"), 0));
    EXPECT_EQ(L"PDF-Dokument", pf_type_name(w(t / "wechsel"), 0));
    t.write("wechsel", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(32, '\0'));
    EXPECT_EQ(L"PNG-Bild", pf_type_name(w(t / "wechsel"), 0));
    t.write("wechsel", "");
    EXPECT_EQ(L"Leeres Dokument", pf_type_name(w(t / "wechsel"), 0));
}

TEST(Mime, AwkwardFilesAreNamedWithoutReadingThem) {
    TempDir t;
    ASSERT_EQ(0, mkfifo((t / "rohr").c_str(), 0600)); // opening it for reading would block
    EXPECT_EQ(L"Pipe", pf_type_name(w(t / "rohr"), 0));
    // A name that is not valid UTF-8 is opened by its exact bytes.
    t.write("bild\xff.dat", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(32, '\0'));
    EXPECT_EQ(L"PNG-Bild", pf_type_name(w(t / "bild\xff.dat"), 0));
}

TEST(Mime, IconsFromInstalledThemes) {
    TempDir t;
    t.write("a.txt", "text\n");
    std::vector<uint32_t> px;
    ASSERT_EQ(1, pf_type_icon(w(t / "a.txt"), 0, 32, px));
    ASSERT_EQ(32u * 32u, px.size());
    size_t opaque = 0;
    for (uint32_t p : px) opaque += (p >> 24) == 0xFF;
    EXPECT_GT(opaque, 100u); // a real picture, not an empty square

    ASSERT_EQ(1, pf_type_icon(w(t.path()), 1, 16, px));
    EXPECT_EQ(16u * 16u, px.size());
    ASSERT_EQ(1, pf_type_icon(w(t / "a.txt"), 0, 20, px)); // no 20 px file: scaled
    EXPECT_EQ(20u * 20u, px.size());
    EXPECT_EQ(0, pf_type_icon(w(t / "a.txt"), 0, 0, px));
    EXPECT_TRUE(px.empty());
}

TEST(Mime, ThemeLookupPicksNearestSizeAndFallsBack) {
    TempDir t;
    make_theme(t);
    const std::vector<std::string> roots = {t / "nothing", t / "icons"};
    const std::vector<std::string> themes = {"Missing", "Test"};
    const auto find = [&](std::vector<std::string> names, int size) {
        return pf_icon_theme_find(roots, themes, names, size);
    };
    EXPECT_EQ(t / "icons/Test/16x16/mimetypes/text-x-generic.png", find({"text-x-generic"}, 16));
    EXPECT_EQ(t / "icons/Test/48x48/mimetypes/text-x-generic.png", find({"text-x-generic"}, 20));
    EXPECT_EQ(t / "icons/Test/48x48/mimetypes/text-x-generic.png", find({"text-x-generic"}, 64));
    EXPECT_EQ(t / "icons/Test/16x16/mimetypes/text-x-generic.png", find({"text-x-generic"}, 8));
    // The specific name is missing: the generic one is taken.
    EXPECT_EQ(t / "icons/Test/32x32/places/folder.png", find({"inode-directory", "folder"}, 16));
    EXPECT_EQ("", find({"image-png", "image-x-generic"}, 16));
}

TEST(Mime, IconCacheIsSafeFromWorkerThreads) {
    TempDir t;
    t.write("a.txt", "x\n");
    t.write("b.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(32, '\0'));
    std::vector<std::thread> workers;
    std::atomic<int> failures{0};
    for (int i = 0; i < 4; ++i)
        workers.emplace_back([&, i] {
            std::vector<uint32_t> px;
            for (int k = 0; k < 50; ++k) {
                const std::string file = (k + i) % 2 ? "a.txt" : "b.png";
                if (!pf_type_icon(w(t / file), 0, 24, px) || px.size() != 24u * 24u) ++failures;
                if (pf_type_name(w(t / file), 0).empty()) ++failures;
            }
        });
    for (auto& th : workers) th.join();
    EXPECT_EQ(0, failures.load());
}
