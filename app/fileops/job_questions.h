// Questions a file job's worker puts to the user about one file: a failure
// ("Wiederholen", "Überspringen", "Alle überspringen", "Abbrechen") and an
// existing target ("Überschreiben", "Alle überschreiben", "Überspringen",
// "Alle überspringen", "Abbruch").
//
// The worker never waits for the main thread to come round to it on its
// own: it files the question, posts EventJobQuestion and sleeps until the
// main thread has answered or the job was cancelled, which answers it as
// "Abbrechen" (also when the program quits). The main thread shows the
// questions one at a time through JobQuestionDialog, the seam tests swap.
// The "all" answers are kept per job by the worker (FileWork), so several
// threads of one job ask one after the other and see each other's "all".
#pragma once

#include <cstdint>
#include <string>

struct CopyJob;

// Kinds of question.
enum : int {
    JobAskFailure = 0,   // a file could not be read, written, replaced or deleted
    JobAskOverwrite = 1, // the target exists
};

// Answers.
enum : int {
    JobAnswerRetry = 0,
    JobAnswerSkip = 1,
    JobAnswerSkipAll = 2,
    JobAnswerStop = 3, // "Abbrechen" / "Abbruch": the job ends
    JobAnswerOverwrite = 4,
    JobAnswerOverwriteAll = 5,
};

// Posted to the main window when a question waits; its bound handler shows it.
constexpr int32_t EventJobQuestion = 65612;

// The window that shows a question and returns its answer. Main thread.
using JobQuestionFn = int (*)(int kind, const std::wstring& headline, const std::wstring& text);
extern JobQuestionFn JobQuestionDialog;
// The program's own window for it (job_dialog.cpp).
int JobQuestionWindow(int kind, const std::wstring& headline, const std::wstring& text);

// Worker: asks and waits for the answer (JobAnswerStop once the job is
// cancelled or quitting, whether or not the window is still open).
int JobAsk(CopyJob& job, int kind, const std::wstring& headline, const std::wstring& text);

// Main thread: shows every question that waits (the bound handler does this).
void ShowJobQuestions();
// A job was cancelled or the program ends: its worker waiting in JobAsk
// looks again. Any thread, after the cancel was set.
void WakeJobQuestions();
