// Program starts with a recording script: arguments, working folder,
// detachment, no zombies, and the shell-open fallback.
#include <gtest/gtest.h>

#include "runtime/program.h"
#include "runtime/text.h"
#include "test_support.h"

#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

std::wstring W(const std::string& os) {
    return rt_text_from_os(os);
}

// A script that appends its folder, arguments, session and parent to log.
std::string make_recorder(const TempDir& tmp, const std::string& name = "rec.sh") {
    const std::string path = tmp / name;
    tmp.write(name, "#!/bin/sh\n"
                    "{ echo \"cwd=$(pwd -P)\"\n"
                    "  for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\n"
                    "  read -r stat < /proc/$$/stat; set -- $stat\n"
                    "  echo \"ppid=$4 session=$6 pid=$$\"\n"
                    "  echo end; } >> '" +
                        tmp / "log" + "'\n");
    chmod(path.c_str(), 0755);
    return path;
}

// The log once the recorder has finished writing it ("" after 5 s).
std::string wait_for_log(const TempDir& tmp) {
    for (int i = 0; i < 500; ++i) {
        const std::string log = tmp.read("log");
        if (log.find("end\n") != std::string::npos) return log;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
}

// Children of this process that have ended but were never reaped.
int zombie_children() {
    int zombies = 0;
    const std::string self = std::to_string(getpid());
    DIR* proc = opendir("/proc");
    while (const dirent* d = readdir(proc)) {
        std::ifstream f(std::string("/proc/") + d->d_name + "/stat");
        std::string pid, comm, state, ppid;
        if (f >> pid >> comm >> state >> ppid && ppid == self && state == "Z") ++zombies;
    }
    closedir(proc);
    return zombies;
}

// Waits until no child of ours is a zombie any more (true) or 3 s pass.
bool no_zombie_remains() {
    for (int i = 0; i < 300; ++i) {
        if (zombie_children() == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

struct HookCall {
    std::wstring file, params, folder;
    int calls = 0;
} hook_call;

int recording_hook(const std::wstring& file, const std::wstring& params,
                   const std::wstring& folder) {
    hook_call = {file, params, folder, hook_call.calls + 1};
    return 1;
}

} // namespace

TEST(Program, SplitsParametersLikeShellWords) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(rt_program_split_args(L"  a \"b c\"\td  "), (V{L"a", L"b c", L"d"}));
    EXPECT_EQ(rt_program_split_args(L"x\"y z\"w \"\""), (V{L"xy zw", L""}));
    EXPECT_EQ(rt_program_split_args(L"it's C:\\dir \\\"q\\\" \\\\"),
              (V{L"it's", L"C:\\dir", L"\"q\"", L"\\"}));
    EXPECT_TRUE(rt_program_split_args(L"   ").empty());
    for (const std::wstring name : {L"plain", L"with blank", L"quote \" and \\ back\\", L""})
        EXPECT_EQ(rt_program_split_args(rt_program_quote(name)), V{name});
}

TEST(Program, StartsDetachedInTheFolderWithQuotedArguments) {
    TempDir tmp;
    const std::string script = make_recorder(tmp);
    ASSERT_EQ(mkdir((tmp / "work").c_str(), 0755), 0);
    ASSERT_EQ(rt_program_run(W(script), L"\"file with blanks.txt\" zwei", W(tmp / "work")), 1);
    const std::string log = wait_for_log(tmp);
    EXPECT_NE(log.find("cwd=" + tmp / "work" + "\n"), std::string::npos) << log;
    EXPECT_NE(log.find("[file with blanks.txt]\n[zwei]\n"), std::string::npos) << log;
    // our own child (so only reaping keeps it from turning into a zombie),
    // leading a session of its own
    const size_t at = log.find("ppid=");
    ASSERT_NE(at, std::string::npos);
    int ppid = 0, session = 0, pid = 0;
    ASSERT_EQ(sscanf(log.c_str() + at, "ppid=%d session=%d pid=%d", &ppid, &session, &pid), 3);
    EXPECT_EQ(ppid, getpid());
    EXPECT_EQ(session, pid);
    EXPECT_NE(session, getsid(0));
    EXPECT_TRUE(no_zombie_remains());
}

TEST(Program, QuotedProgramMayCarryArgumentsAndRelativePathsAreOurs) {
    TempDir tmp;
    const std::string script = make_recorder(tmp, "my rec.sh");
    ASSERT_EQ(rt_program_run(W("\"" + script + "\" eins"), L"zwei", L""), 1);
    std::string log = wait_for_log(tmp);
    EXPECT_NE(log.find("[eins]\n[zwei]\n"), std::string::npos) << log;
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    EXPECT_NE(log.find(std::string("cwd=") + cwd + "\n"), std::string::npos) << log;

    // "./my rec.sh" means our current folder, not the child's
    tmp.write("log", "");
    ASSERT_EQ(chdir(tmp.path().c_str()), 0);
    const int started = rt_program_run(L"./my rec.sh", L"", L"/");
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_EQ(started, 1);
    log = wait_for_log(tmp);
    EXPECT_NE(log.find("cwd=/\n"), std::string::npos) << log;
    EXPECT_TRUE(no_zombie_remains());
}

TEST(Program, WhatCannotBeStartedGoesToTheShellOpenHook) {
    TempDir tmp;
    tmp.write("doc.txt", "text");
    rt_program_set_shell_open(recording_hook);
    hook_call = {};
    EXPECT_EQ(rt_program_run(W(tmp / "doc.txt"), L"-p", L""), 1);
    EXPECT_EQ(hook_call.calls, 1);
    EXPECT_EQ(hook_call.file, W(tmp / "doc.txt"));
    EXPECT_EQ(hook_call.params, L"-p");
    EXPECT_EQ(hook_call.folder, W(tmp.path() + "/")); // the document's folder
    EXPECT_EQ(rt_program_run(W(tmp.path()), L"", L"/usr"), 1);
    EXPECT_EQ(hook_call.calls, 2);
    EXPECT_EQ(hook_call.folder, L"/usr");
    EXPECT_EQ(rt_program_run(L"no-such-program-anywhere", L"", L""), 1);
    EXPECT_EQ(hook_call.calls, 3);
    EXPECT_EQ(rt_program_run(L"", L"", L""), 0);
    EXPECT_EQ(hook_call.calls, 3);
    rt_program_set_shell_open(nullptr);
    EXPECT_EQ(rt_program_run(L"no-such-program-anywhere", L"", L""), 0);
}

TEST(Program, DefaultShellOpenStartsProgramsAndHandsFilesToXdgOpen) {
    TempDir tmp;
    const std::string script = make_recorder(tmp);
    EXPECT_EQ(rt_program_shell_open_default(L"rec.sh", L"\"a b\"", W(tmp.path())), 1);
    std::string log = wait_for_log(tmp);
    EXPECT_NE(log.find("[a b]\n"), std::string::npos) << log;

    // a stand-in xdg-open first on the search path records what it gets
    ASSERT_EQ(mkdir((tmp / "bin").c_str(), 0755), 0);
    make_recorder(tmp, "bin/xdg-open");
    tmp.write("doc.txt", "text");
    tmp.write("log", "");
    const std::string old_path = std::getenv("PATH");
    setenv("PATH", (tmp / "bin:" + old_path).c_str(), 1);
    const int opened = rt_program_shell_open_default(L"doc.txt", L"", W(tmp.path()));
    const int missing = rt_program_shell_open_default(L"gone.txt", L"", W(tmp.path()));
    setenv("PATH", old_path.c_str(), 1);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(missing, 0);
    log = wait_for_log(tmp);
    std::string line = "["; // ("[" + path trips a false -Wrestrict of GCC 12 at -O3)
    line += tmp / "doc.txt" + "]\n";
    EXPECT_NE(log.find(line), std::string::npos) << log;
    EXPECT_TRUE(no_zombie_remains());
}

TEST(Program, CommandLineRunsThroughTheShellInOurFolder) {
    TempDir tmp;
    const std::string out = tmp / "out";
    ASSERT_EQ(
        rt_command_run(W("echo \"cwd=$(pwd -P)\" > '" + out + "'; echo end >> '" + out + "'")), 1);
    std::string text;
    for (int i = 0; i < 500 && text.find("end\n") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        text = tmp.read("out");
    }
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    EXPECT_EQ(text, std::string("cwd=") + cwd + "\nend\n");
    EXPECT_EQ(rt_command_run(L"  "), 0);
    EXPECT_TRUE(no_zombie_remains());
}

TEST(Program, CommandLineRunsInTheGivenFolder) {
    TempDir tmp;
    ASSERT_EQ(rt_command_run(L"pwd -P > out.tmp; mv out.tmp out", W(tmp.path()) + L"/"), 1);
    std::string text;
    for (int i = 0; i < 500 && text.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        text = tmp.read("out");
    }
    char real[4096];
    ASSERT_TRUE(realpath(tmp.path().c_str(), real));
    EXPECT_EQ(text, std::string(real) + "\n");
    EXPECT_TRUE(no_zombie_remains());
}

TEST(Program, FileNamesThatLookLikeOptionsStayFiles) {
    EXPECT_EQ(rt_program_file_argument(L"-rf"), L"./-rf");
    EXPECT_EQ(rt_program_file_argument(L"--help"), L"./--help");
    EXPECT_EQ(rt_program_file_argument(L"-"), L"./-");
    EXPECT_EQ(rt_program_file_argument(L"a-b"), L"a-b");
    EXPECT_EQ(rt_program_file_argument(L""), L"");
    // the quoted argument splits back into the one safe name
    EXPECT_EQ(rt_program_split_args(rt_program_quote(rt_program_file_argument(L"-x y"))),
              std::vector<std::wstring>{L"./-x y"});
}
