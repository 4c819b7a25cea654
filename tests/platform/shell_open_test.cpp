// Opening files: real program starts and real GIO lookups, against a private
// application database whose only applications run a recording script, so
// no desktop application is ever started.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/shell_open.h"
#include "runtime/program.h"
#include "runtime/text.h"
#include "test_support.h"

namespace {

std::wstring w(const std::string& s) {
    return rt_text_from_os(s);
}

// Writes its arguments and working folder to $TC_RECORD_LOG, all at once.
const char* kRecorder = "#!/bin/sh\n"
                        "{ echo \"argc=$#\"; for a in \"$@\"; do echo \"arg=$a\"; done;\n"
                        "  echo \"cwd=$(pwd)\"; } > \"$TC_RECORD_LOG.part\"\n"
                        "mv \"$TC_RECORD_LOG.part\" \"$TC_RECORD_LOG\"\n";

// The XDG folders of the whole test program point into one private folder.
// GLib reads them once per process, so this runs before main.
struct DesktopSandbox {
    TempDir dir;
    DesktopSandbox() {
        const std::string d = dir.path();
        if (system(("mkdir -p " + d + "/data/applications " + d + "/home " + d + "/config " + d +
                    "/config-sys")
                       .c_str()) != 0)
            abort();
        // The MIME database itself is the system's: type lookups stay real.
        if (symlink("/usr/share/mime", (d + "/data/mime").c_str()) != 0) abort();
        dir.write("record.sh", kRecorder);
        chmod((d + "/record.sh").c_str(), 0755);
        dir.write("data/applications/tc-recorder.desktop",
                  "[Desktop Entry]\nType=Application\nName=Rekorder\nExec=" + d +
                      "/record.sh %f\nMimeType=text/plain;\n");
        dir.write("data/applications/tc-second.desktop",
                  "[Desktop Entry]\nType=Application\nName=Zweiter\nExec=" + d +
                      "/record.sh --zweiter %f\nMimeType=text/plain;\n");
        // Markdown's default is a console program, passed over for an editor.
        dir.write("data/applications/tc-console.desktop",
                  "[Desktop Entry]\nType=Application\nName=Konsole\nTerminal=true\nExec=" + d +
                      "/konsole.sh %f\nMimeType=text/markdown;\n");
        dir.write("konsole.sh", kRecorder);
        chmod((d + "/konsole.sh").c_str(), 0755);
        dir.write("data/applications/tc-url.desktop",
                  "[Desktop Entry]\nType=Application\nName=Adressen\nExec=" + d +
                      "/record.sh %u\nMimeType=x-scheme-handler/tcx;\n");
        // GIO learns which applications handle a type from this index, which
        // the package tools keep on a real system.
        dir.write("data/applications/mimeinfo.cache",
                  "[MIME Cache]\ntext/plain=tc-recorder.desktop;tc-second.desktop;\n"
                  "text/markdown=tc-console.desktop;tc-second.desktop;\n");
        dir.write("config/mimeapps.list", "[Default Applications]\ntext/plain=tc-recorder.desktop\n"
                                          "x-scheme-handler/tcx=tc-url.desktop\n"
                                          "text/markdown=tc-console.desktop\n");
        setenv("XDG_DATA_DIRS", (d + "/data").c_str(), 1);
        setenv("XDG_DATA_HOME", (d + "/home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (d + "/config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (d + "/config-sys").c_str(), 1);
        unsetenv("XDG_CURRENT_DESKTOP");
        unsetenv("DBUS_SESSION_BUS_ADDRESS"); // launches never go to a real session
    }
};
DesktopSandbox& sandbox() {
    static DesktopSandbox s;
    return s;
}
[[maybe_unused]] const bool kSandboxReady = (sandbox(), true);

// Points the recorder at a fresh log and returns its path.
std::string arm_recorder(const TempDir& t) {
    const std::string log = t / "record.log";
    setenv("TC_RECORD_LOG", log.c_str(), 1);
    return log;
}

// The recorder's log once it appears (started programs run on their own).
std::string wait_for_log(const std::string& log) {
    for (int i = 0; i < 500; ++i) {
        std::ifstream f(log);
        if (f) {
            std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
            return all;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return "(no log)";
}

} // namespace

TEST(ShellOpen, DocumentGoesToTheDefaultApplicationAsOneArgument) {
    TempDir t;
    const std::string log = arm_recorder(t);
    t.write("mein brief (1).txt", "Hallo\n");
    ASSERT_EQ(1, pf_shell_open(w(t / "mein brief (1).txt"), L"", w(t.path())));
    EXPECT_EQ("argc=1\narg=" + t / "mein brief (1).txt" + "\ncwd=" + t.path() + "\n",
              wait_for_log(log));
}

TEST(ShellOpen, ExecutableStartsDirectlyWithItsParameters) {
    TempDir t;
    const std::string log = arm_recorder(t);
    ASSERT_EQ(0, mkdir((t / "arbeit").c_str(), 0700));
    t.write("prog", kRecorder);
    ASSERT_EQ(0, chmod((t / "prog").c_str(), 0755));
    ASSERT_EQ(1, pf_shell_open(L"prog", L"\"a b\" c", w(t.path()))); // relative to the folder
    EXPECT_EQ("argc=2\narg=a b\narg=c\ncwd=" + t.path() + "\n", wait_for_log(log));
}

TEST(ShellOpen, ExecutableMarkedDocumentIsOpenedNotRun) {
    TempDir t;
    const std::string log = arm_recorder(t);
    t.write("notiz.txt", "echo nie ausführen > " + t / "ausgefuehrt" + "\n");
    ASSERT_EQ(0, chmod((t / "notiz.txt").c_str(), 0755)); // as on a FAT stick
    ASSERT_EQ(1, pf_shell_open(w(t / "notiz.txt"), L"", L""));
    EXPECT_NE(std::string::npos, wait_for_log(log).find("arg=" + t / "notiz.txt\n"));
    EXPECT_NE(0, access((t / "ausgefuehrt").c_str(), F_OK));
}

TEST(ShellOpen, UrlGoesToTheHandlerOfItsScheme) {
    TempDir t;
    const std::string log = arm_recorder(t);
    ASSERT_EQ(1, pf_shell_open(L"tcx://server/ordner/datei?x=1", L"", L""));
    EXPECT_EQ(0u, wait_for_log(log).find("argc=1\narg=tcx://server/ordner/datei?x=1\n"));
}

TEST(ShellOpen, MissingFileStartsNothing) {
    TempDir t;
    EXPECT_EQ(0, pf_shell_open(w(t / "fehlt.txt"), L"", L""));
    EXPECT_EQ(0, pf_shell_open(L"", L"", L""));
}

TEST(ShellOpen, EditorIsTheDefaultTextApplication) {
    EXPECT_EQ(w(sandbox().dir / "record.sh"), pf_editor_program());
}

TEST(ShellOpen, AConsoleProgramIsPassedOverForTheEditor) {
    EXPECT_EQ(w(sandbox().dir / "record.sh"), pf_graphical_program_for_type("text/markdown"));
    EXPECT_EQ(L"", pf_graphical_program_for_type("application/x-tc-nothing"));
}

TEST(ShellOpen, ApplicationsForTypeAndLaunchById) {
    TempDir t;
    t.write("liste.txt", "a\n");
    t.write("daten.bin", std::string("\x01\x02\xff\xfe\x00\x10", 6));
    const auto apps = pf_apps_for_type(w(t / "liste.txt"));
    ASSERT_EQ(2u, apps.size());
    EXPECT_EQ(L"Rekorder", apps[0].name); // the default comes first
    EXPECT_EQ(L"tc-recorder.desktop", apps[0].id);
    EXPECT_EQ(L"Zweiter", apps[1].name);
    EXPECT_TRUE(pf_apps_for_type(w(t / "daten.bin")).empty());

    const std::string log = arm_recorder(t);
    ASSERT_EQ(1, pf_app_launch(L"tc-second.desktop", w(t / "liste.txt")));
    EXPECT_EQ(0u, wait_for_log(log).find("argc=2\narg=--zweiter\narg=" + t / "liste.txt\n"));
    EXPECT_EQ(0, pf_app_launch(L"gibt-es-nicht.desktop", w(t / "liste.txt")));
}

TEST(ShellOpen, InstalledAsTheRuntimeShellOpen) {
    TempDir t;
    const std::string log = arm_recorder(t);
    t.write("über uns.txt", "x\n");
    pf_shell_open_install();
    // Not a program: the runtime hands it to the installed shell open.
    EXPECT_EQ(1, rt_program_run(w(t / "über uns.txt"), L"", L""));
    rt_program_set_shell_open(nullptr);
    EXPECT_EQ("argc=1\narg=" + t / "über uns.txt" + "\ncwd=" + t.path() + "\n", wait_for_log(log));
}

TEST(ShellOpen, DocumentOpenNeverRunsAProgram) {
    TempDir t;
    const std::string log = arm_recorder(t);
    t.write("skript.txt", "#!/bin/sh\necho gelaufen > " + t / "ausgefuehrt" + "\n");
    ASSERT_EQ(0, chmod((t / "skript.txt").c_str(), 0755));      // a real program
    ASSERT_EQ(1, pf_open_document(L"skript.txt", w(t.path()))); // relative to the folder
    EXPECT_EQ("argc=1\narg=" + t / "skript.txt" + "\ncwd=" + t.path() + "\n", wait_for_log(log));
    EXPECT_NE(0, access((t / "ausgefuehrt").c_str(), F_OK));
    EXPECT_EQ(0, pf_open_document(w(t / "fehlt.txt"), L""));
    EXPECT_EQ(0, pf_open_document(L"", L""));
}
