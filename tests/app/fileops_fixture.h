// Shared set-up of the file-operation tests: the pane window of PaneTest,
// questions answered from a script and recorded, message boxes recorded,
// and a way to run a job to its end as the main loop would.
#pragma once

#include "app/core/answers.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_ids.h"
#include "app/fileops/job_questions.h"
#include "app/fileops/job_queue.h"
#include "app/fileops/target_question.h"
#include "pane_fixture.h"
#include "platform/file_copy.h"
#include "runtime/syscalls.h"
#include "toolkit/requesters.h"

#include <fstream>
#include <sstream>

#include <deque>
#include <dirent.h>
#include <sys/stat.h>

class FileopsTest : public PaneTest {
  public:
    static inline std::vector<std::wstring> asked; // "headline|text" of every question
    static inline std::deque<int64_t> answers;     // next answers; 6 when empty
    static inline std::vector<std::wstring> boxes; // "caption|text" of message boxes
    static inline std::vector<int> totals;         // total percent of every report
    // The workers' questions about one file: "headline|text", and the next
    // answers (JobAnswer…). When none is left a failure is skipped and an
    // existing target overwritten.
    static inline std::vector<std::wstring> jobAsked;
    static inline std::deque<int> jobAnswers;
    static inline void (*onJobQuestion)() = nullptr; // runs before each answer

    static int JobScript(int kind, const std::wstring& headline, const std::wstring& text) {
        jobAsked.push_back(headline + L"|" + text);
        if (onJobQuestion) onJobQuestion();
        if (jobAnswers.empty()) return kind == JobAskOverwrite ? JobAnswerOverwrite : JobAnswerSkip;
        const int a = jobAnswers.front();
        jobAnswers.pop_front();
        return a;
    }
    static inline std::wstring typedTarget;        // typed into the F5/F6 field; empty: kept

    static int64_t Script(int64_t, const std::wstring&, const std::wstring& headline,
                          const std::wstring& text, int64_t, int64_t) {
        asked.push_back(headline + L"|" + text);
        if (answers.empty()) return MessageAnswerOk;
        const int64_t a = answers.front();
        answers.pop_front();
        return a;
    }
    static int64_t Box(const std::wstring& caption, const std::wstring& text, int64_t) {
        boxes.push_back(caption + L"|" + text);
        return 1;
    }
    // The F5/F6 question, recorded as its text reads: question, CR, target.
    static int64_t ScriptTarget(const std::wstring& headline, const std::wstring& question,
                                std::wstring& target, int64_t owner) {
        const int64_t a = Script(0, L"", headline, question + L" \r" + target + L" ?", 0, owner);
        if (!typedTarget.empty()) target = typedTarget;
        return a;
    }
    static void Totals(CopyJob&, int, int total, const std::wstring&) { totals.push_back(total); }

  protected:
    void SetUp() override {
        PaneTest::SetUp();
        asked.clear();
        answers.clear();
        boxes.clear();
        totals.clear();
        jobAsked.clear();
        jobAnswers.clear();
        onJobQuestion = nullptr;
        JobQuestionDialog = JobScript;
        typedTarget.clear();
        AskTarget = ScriptTarget;
        Messages.Dialog = Script;
        Messages.Box = Box;
        ProgressObserver = nullptr;
    }
    void TearDown() override {
        RunJob();
        ProgressObserver = nullptr;
        JobQuestionDialog = JobQuestionWindow;
        AskTarget = TargetQuestionDialog;
        ResetJobQueue();
        CloseFailureLists();
        rt_sys = rt_syscalls_real();
        pf_copy_sys_reset();
        PaneTest::TearDown();
    }

    // Delivers the answers of the questions a command asks before its job
    // starts (each may ask the next), waits for the worker and hands the
    // events of the progress windows to their handlers until the job's end
    // has been handled.
    static void RunJob() {
        for (int i = 0; i < 1000; ++i) {
            const bool idle = QuestionsRunning() == 0; // every answer is in
            DeliverAnswers();
            if (idle && QuestionsRunning() == 0) break;
            HandleProgress(tk_event_wait_timeout(5));
        }
        for (int i = 0; i < 100000 && (FileJobRunning() || FileJobsPending()); ++i)
            HandleProgress(tk_event_wait_timeout(5));
        for (int i = 0;
             i < 200 && (tk_window_exists(WinCopyProgress) || tk_window_exists(WinDeleteProgress));
             ++i)
            HandleProgress(tk_event_wait_timeout(20));
    }
    // What the main loop does with an event of a progress window.
    static void HandleProgress(int32_t v) {
        if (v && IsFileJobWindow(tk_event_window())) FileJobWindowEvents(v);
    }
    static void Copy(const std::wstring& names, const std::wstring& from, const std::wstring& to,
                     int64_t move) {
        CopyMoveCommand(names, from, to, move, 0, 0);
        RunJob();
    }
    // Presses a dialog's "Ok" button and hands the dialog's events to its
    // handler until the press has been handled (its answer comes in place).
    static void PressOk(int64_t window, int64_t ok, int64_t (*handler)(int64_t)) {
        tk_event_post(EventGadget, window, ok);
        for (int i = 0; i < 100; ++i) {
            const int32_t v = tk_event_wait_timeout(20);
            if (tk_event_window() != window) continue;
            handler(v);
            if (v == EventGadget && tk_event_gadget() == ok) return;
        }
        ADD_FAILURE() << "the press never arrived";
    }
    static bool Exists(const std::string& path) {
        struct stat st;
        return lstat(path.c_str(), &st) == 0;
    }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void Mkdir(const std::string& path) { ASSERT_EQ(0, mkdir(path.c_str(), 0755)) << path; }
    // Names in a folder that a failed copy could have left behind.
    static int TempFilesIn(const std::string& folder) {
        int n = 0;
        DIR* d = opendir(folder.c_str());
        while (dirent* e = d ? readdir(d) : nullptr)
            n += std::string(e->d_name).rfind(".tc-", 0) == 0;
        if (d) closedir(d);
        return n;
    }
};
