// Shortcuts: symbolic links and desktop link entries resolve to absolute
// paths; new shortcuts are links next to the entry.
#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/links.h"
#include "runtime/text.h"
#include "test_support.h"

namespace {

std::wstring w(const std::string& s) {
    return rt_text_from_os(s);
}

} // namespace

TEST(Links, SymbolicLinksResolveAgainstTheirFolder) {
    TempDir t;
    ASSERT_EQ(0, mkdir((t / "sub").c_str(), 0700));
    ASSERT_EQ(0, symlink("../ziel/./tief", (t / "sub/rel").c_str()));
    ASSERT_EQ(0, symlink("/usr//share/../lib", (t / "abs").c_str()));
    ASSERT_EQ(0, symlink("fehlt", (t / "kaputt").c_str()));
    EXPECT_EQ(w(t / "ziel/tief"), pf_resolve_shortcut(w(t / "sub/rel")));
    EXPECT_EQ(w(t / "ziel/tief"), pf_read_link(w(t / "sub/rel/")));
    EXPECT_EQ(L"/usr/lib", pf_read_link(w(t / "abs")));
    EXPECT_EQ(w(t / "fehlt"),
              pf_resolve_shortcut(w(t / "kaputt"))); // broken links still name a place
    EXPECT_EQ(L"", pf_read_link(w(t / "sub")));      // no link
    EXPECT_EQ(L"", pf_resolve_shortcut(w(t / "nichts")));
}

TEST(Links, DesktopLinkEntries) {
    TempDir t;
    t.write("Projekt.desktop", "[Desktop Entry]\nType=Link\nName=Projekt\n"
                               "URL=file:///home/anna/Mein%20Projekt/%C3%BCbung%FF\n");
    t.write("Web.desktop", "[Desktop Entry]\nType=Link\nURL=https://example.org/\n");
    t.write("App.desktop", "[Desktop Entry]\nType=Application\nURL=file:///usr/bin\nExec=x\n");
    t.write("Fremd.desktop", "[Desktop Entry]\nType=Link\nURL=file://server/share\n");
    t.write("Kaputt.desktop", "kein Schlüssel-Datei-Format\x01");
    EXPECT_EQ(rt_text_from_os("/home/anna/Mein Projekt/\xc3\xbc"
                              "bung\xff"),
              pf_resolve_shortcut(w(t / "Projekt.desktop")));
    EXPECT_EQ(L"", pf_resolve_shortcut(w(t / "Web.desktop")));
    EXPECT_EQ(L"", pf_resolve_shortcut(w(t / "App.desktop")));
    EXPECT_EQ(L"", pf_resolve_shortcut(w(t / "Fremd.desktop")));
    EXPECT_EQ(L"", pf_resolve_shortcut(w(t / "Kaputt.desktop")));
}

TEST(Links, CreateShortcutNextToTheEntry) {
    TempDir t;
    t.write("Bericht 2024.txt", "inhalt");
    ASSERT_EQ(0, mkdir((t / "Fotos").c_str(), 0700));
    const std::wstring first = pf_create_shortcut(w(t / "Bericht 2024.txt"));
    EXPECT_EQ(w(t / "Verknüpfung zu Bericht 2024.txt"), first);
    EXPECT_EQ("inhalt", t.read("Verknüpfung zu Bericht 2024.txt"));
    EXPECT_EQ(w(t / "Verknüpfung zu Bericht 2024.txt (2)"),
              pf_create_shortcut(w(t / "Bericht 2024.txt")));

    EXPECT_EQ(w(t / "Verknüpfung zu Fotos"), pf_create_shortcut(w(t / "Fotos/")));
    EXPECT_EQ(w(t / "Fotos"), pf_resolve_shortcut(w(t / "Verknüpfung zu Fotos")));

    // The link names its target relatively, so it survives moving the folder.
    char target[64] = {};
    ASSERT_GT(readlink((t / "Verknüpfung zu Fotos").c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ("Fotos", target);
    EXPECT_EQ(L"", pf_create_shortcut(w(t / "kein/ordner/x")));
}
