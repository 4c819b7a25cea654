// The job queue: which jobs start (devices, at most three, order), waiting
// jobs that say so, move up and down, a cancelled waiting job that never
// runs, "Anhalten" holding a worker; the figures of the progress window; the
// target typed into the F5 question; the list of failures and its retry.
#include "fileops_fixture.h"

#include "app/fileops/fileops_texts.h"
#include "app/fileops/job_figures.h"
#include "app/fileops/jobs_window.h"

#include <atomic>
#include <thread>

namespace {

using S = JobState;

std::vector<size_t> Start(const std::vector<QueueSlot>& slots) {
    return JobsToStart(slots);
}

TEST(JobsToStartTest, DevicesLimitAndOrderDecide) {
    // A running job holds its devices, a paused one too; a job on free
    // devices passes one that waits for a busy device.
    EXPECT_EQ((std::vector<size_t>{2}), Start({{S::Running, {1, 2}},
                                               {S::Waiting, {2}},
                                               {S::Waiting, {3}},
                                               {S::Paused, {4}},
                                               {S::Waiting, {4, 5}}}));
    // Waiting jobs on one device: only the first of them starts.
    EXPECT_EQ((std::vector<size_t>{0}), Start({{S::Waiting, {1}}, {S::Waiting, {1}}}));
    // At most three at once, counting the running ones; ended ones hold nothing.
    EXPECT_EQ((std::vector<size_t>{2, 3}), Start({{S::Running, {1}},
                                                  {S::Finished, {2}},
                                                  {S::Waiting, {2}},
                                                  {S::Waiting, {3}},
                                                  {S::Waiting, {4}}}));
}

TEST(JobFiguresTest, SpeedAndTimeLeftTexts) {
    EXPECT_EQ(L"noch 2 min 10 s", TimeLeftText(130));
    EXPECT_EQ(L"noch 45 s", TimeLeftText(45));
    EXPECT_EQ(L"noch 1 h 5 min", TimeLeftText(3900));
    EXPECT_EQ(L"", TimeLeftText(-1));
    EXPECT_EQ(-1, SecondsLeft(100, 0)); // no speed yet: no estimate
    EXPECT_EQ(3, SecondsLeft(250, 100.0));
    EXPECT_EQ(L"12.00 MB/s", SpeedText(12.0 * 1024 * 1024, 2));
    EXPECT_EQ(L"1.00 MB von 4.00 MB", BytesDoneText(1 << 20, 4 << 20, 2));

    // The average covers the last seconds only: an early burst fades out.
    SpeedMeter m;
    SpeedSample(m, 0, 0);
    SpeedSample(m, 100, 0);
    EXPECT_EQ(0.0, SpeedBytesPerSecond(m)) << "too short a span knows no speed";
    SpeedSample(m, 1000, 100'000'000);
    for (int64_t t = 2000; t <= 12000; t += 1000)
        SpeedSample(m, t, 100'000'000 + (t - 1000) * 1000);
    EXPECT_NEAR(1'000'000.0, SpeedBytesPerSecond(m), 1.0);
}

// A worker that runs until released, pausing where the engine would.
std::atomic<bool> Release{false};
std::atomic<int> Started{0};
void HeldWorker(intptr_t parameter) {
    CopyJob& job = *reinterpret_cast<CopyJob*>(parameter);
    ++Started;
    while (!Release && job.control.state != RtControlCancelled) {
        rt_control_go_on(&job.control);
        rt_control_add_bytes(&job.control, 1);
        rt_delay(2);
    }
    job.result = 1;
    tk_event_post(EventJobDone, job.window);
}

class JobQueueTest : public FileopsTest {
  protected:
    void SetUp() override {
        FileopsTest::SetUp();
        Release = false;
        Started = 0;
    }
    void TearDown() override {
        Release = true;
        FileopsTest::TearDown();
    }
    static CopyJob& Queue(uint64_t device, const std::wstring& name) {
        CopyJob& job = NewFileJob(JobCopy, L"/q/", L"/z/");
        job.fileList = {name};
        job.devices = {device};
        StartFileJob(job, HeldWorker);
        return job;
    }
    static S StateOf(size_t k) { return QueuedJobs()[k].state; }
    static void Pump(int rounds) {
        for (int i = 0; i < rounds; ++i) HandleProgress(tk_event_wait_timeout(2));
    }
};

TEST_F(JobQueueTest, WaitingJobsSayItMoveAndCancelBeforeTheyRun) {
    CopyJob& first = Queue(7, L"a");
    CopyJob& second = Queue(7, L"b");
    CopyJob& third = Queue(7, L"c");
    ASSERT_EQ(3u, QueuedJobs().size());
    EXPECT_EQ(S::Running, StateOf(0));
    EXPECT_EQ(S::Waiting, StateOf(1));
    // A window of its own, built once the job has waited long enough to be seen.
    EXPECT_FALSE(tk_window_exists(second.window));
    for (int i = 0; i < 200 && !tk_window_exists(second.window); ++i) Pump(1);
    EXPECT_EQ(1, tk_window_exists(second.window));
    EXPECT_EQ(TextWaiting, tk_gadget_get_text(FileJobProgressGadget(second, GadCurrentFile)));
    EXPECT_NE(first.window, second.window) << "each job has a window of its own";
    const int64_t secondId = QueuedJobs()[1].id, thirdId = QueuedJobs()[2].id;

    MoveWaitingJob(thirdId, -1); // c before b
    MoveWaitingJob(thirdId, -1); // the running one is no waiting place
    EXPECT_EQ(thirdId, QueuedJobs()[1].id);
    const int64_t secondWindow = second.window, thirdWindow = third.window;
    CancelFileJob(secondId); // b never runs; its record is gone
    EXPECT_EQ(S::Cancelled, QueuedJobById(secondId)->state);
    EXPECT_FALSE(tk_window_exists(secondWindow));

    Release = true;
    RunJob();
    EXPECT_EQ(2, Started.load()) << "a and c ran, b did not";
    EXPECT_EQ(S::Finished, QueuedJobById(thirdId)->state);
    EXPECT_FALSE(tk_window_exists(thirdWindow));
    EXPECT_NE(std::wstring::npos, JobRowText(*QueuedJobById(secondId)).find(L"abgebrochen"));
    EXPECT_EQ(0u, FileJobsActive());
}

TEST_F(JobQueueTest, PauseHoldsTheWorkerAndResumeLetsItGoOn) {
    CopyJob& job = Queue(1, L"a");
    while (Started == 0) rt_delay(1);
    const int64_t id = QueuedJobs()[0].id;
    tk_event_post(EventGadget, job.window, FileJobProgressGadget(job, ProgressPauseButton));
    Pump(10);
    ASSERT_EQ(S::Paused, StateOf(0));
    EXPECT_EQ(TextResume, tk_gadget_get_text(FileJobProgressGadget(job, ProgressPauseButton)));
    rt_delay(20); // a step under way ends
    const int64_t held = job.control.bytes.load();
    rt_delay(100);
    EXPECT_EQ(held, job.control.bytes.load()) << "a paused job did nothing";
    ResumeFileJob(id);
    const int64_t resumed = job.control.bytes.load();
    rt_delay(50);
    EXPECT_GT(job.control.bytes.load(), resumed);
    // A quit cancels it as "Abbrechen" would, and it ends.
    CancelAllFileJobs();
    RunJob();
    EXPECT_EQ(S::Cancelled, StateOf(0));
}

TEST_F(JobQueueTest, ProgressTextsAreNeverCut) {
    CopyJob& job = Queue(1, L"a");
    const std::wstring item =
        L"/ein/recht/langer/Pfad/zu/einer/Datei/mit/einem/sehr/langen/Namen.txt";
    PublishProgress(job, 50, 28, item, true);
    Pump(10);
    for (int64_t which : {GadCurrentFile, GadFilePercent, GadTotalPercent}) {
        const int64_t g = FileJobProgressGadget(job, which);
        EXPECT_GE(tk_gadget_width(g), tk_gadget_needed_width(g))
            << rt_text_to_os(tk_gadget_get_text(g));
        EXPECT_LE(tk_gadget_x(g) + tk_gadget_width(g), tk_window_width(job.window));
    }
    EXPECT_EQ(L"GesamtProzent:28%",
              tk_gadget_get_text(FileJobProgressGadget(job, GadTotalPercent)));
}

// A typed folder is the target; a new name for one file is its new name,
// also within its own folder; a folder that is not there is refused by name.
TEST_F(FileopsTest, TypedTargetIsFolderOrNewName) {
    TempDir src, dst, other;
    src.write("a.txt", "A");
    typedTarget = Folder(other);
    Copy(L"a.txt\n", Folder(src), Folder(dst), 0);
    EXPECT_EQ("A", other.read("a.txt"));
    EXPECT_FALSE(Exists(dst / "a.txt"));

    typedTarget = Folder(dst) + L"b.txt";
    Copy(L"a.txt\n", Folder(src), Folder(dst), 1);
    EXPECT_EQ("A", dst.read("b.txt"));
    EXPECT_FALSE(Exists(src / "a.txt")) << "moved under its new name";

    typedTarget = L"kopie.txt"; // relative to the source folder
    Copy(L"b.txt\n", Folder(dst), Folder(other), 0);
    EXPECT_EQ("A", dst.read("kopie.txt"));

    typedTarget = Folder(dst) + L"fehlt/x.txt";
    asked.clear();
    Copy(L"b.txt\n", Folder(dst), Folder(other), 0);
    ASSERT_EQ(2u, asked.size());
    EXPECT_NE(std::wstring::npos, asked[1].find(L"existiert nicht")) << rt_text_to_os(asked[1]);
    EXPECT_NE(std::wstring::npos, asked[1].find(L"fehlt/x.txt"));
}

// A worker that fails its one file with a reason, as the engine reports.
void FailingWorker(intptr_t parameter) {
    CopyJob& job = *reinterpret_cast<CopyJob*>(parameter);
    job.failedItems.push_back({job.sourceFolder + job.fileList[0], L"Zugriff verweigert"});
    job.failures = 1;
    job.result = 0;
    tk_event_post(EventJobDone, job.window);
}

TEST_F(FileopsTest, FailuresAreListedAndRetriedAlone) {
    TempDir src, dst;
    src.write("a.txt", "A");
    src.write("b.txt", "B");
    CopyJob& job = NewFileJob(JobCopy, Folder(src), Folder(dst));
    job.fileList = {L"a.txt"};
    StartFileJob(job, FailingWorker);
    RunJob();
    const int64_t list = FailureListWindow(0);
    ASSERT_NE(0, list) << "no list of failures";
    EXPECT_EQ(1u, boxes.size()) << "the box says that it failed, the list what";
    PressOk(list, FailureRetryButton(list), FileJobWindowEvents);
    RunJob();
    EXPECT_FALSE(tk_window_exists(list));
    EXPECT_EQ("A", dst.read("a.txt")) << "the retry copied the failed file";
    EXPECT_FALSE(Exists(dst / "b.txt")) << "and nothing else";
}

// The question of a second F5 stays open while the first job fails: the
// failure is reported while the question is still up, and nothing waits.
// The failure's box answers the question, so nothing here depends on how
// soon the job ends; a report that never comes fails after a long wait.
TEST_F(JobQueueTest, JobEndingWhileAQuestionIsOpenIsReported) {
    TempDir src, dst;
    src.write("a.txt", "A");
    CopyJob& job = NewFileJob(JobCopy, Folder(src), Folder(dst));
    job.fileList = {L"a.txt"};
    StartFileJob(job, [](intptr_t parameter) {
        while (!Release) rt_delay(1);
        FailingWorker(parameter);
    });
    static bool reportedDuringQuestion;
    static std::atomic<int64_t> question, ok;
    static std::atomic<bool> answered;
    reportedDuringQuestion = false;
    answered = false;
    AskTarget = [](const std::wstring& h, const std::wstring& q, std::wstring& t, int64_t o) {
        TargetQuestionOpened = [](int64_t window, int64_t button) {
            question = window;
            ok = button;
            Release = true;
        };
        Messages.Box = [](const std::wstring& caption, const std::wstring& text, int64_t flags) {
            if (!answered.exchange(true)) tk_event_post(EventGadget, question, ok);
            return Box(caption, text, flags);
        };
        std::thread limit([] {
            for (int i = 0; i < 3000 && !answered; ++i) rt_delay(10);
            if (!answered.exchange(true)) tk_event_post(EventGadget, question, ok);
        });
        const int64_t answer = TargetQuestionDialog(h, q, t, o);
        answered = true;
        limit.join();
        TargetQuestionOpened = nullptr;
        Messages.Box = Box;
        reportedDuringQuestion = FailureListWindow(0) != 0;
        return answer;
    };
    CopyMoveCommand(L"a.txt\n", Folder(src), Folder(dst), 0, 0, 0);
    EXPECT_TRUE(reportedDuringQuestion);
    RunJob();
    EXPECT_EQ("A", dst.read("a.txt")) << "the answered question's job ran";
    const int64_t list = FailureListWindow(0);
    tk_event_post(EventCloseWindow, list);
    for (int i = 0; i < 100 && tk_window_exists(list); ++i) Pump(1);
    EXPECT_EQ(0, FailureListWindow(0));
}

// A worker waiting for the answer to a question nobody has answered yet
// stops waiting when its job is cancelled.
TEST_F(JobQueueTest, ACancelEndsTheWaitForAnUnansweredQuestion) {
    static std::atomic<int> answer;
    static std::atomic<bool> asking;
    answer = -1;
    asking = false;
    CopyJob& job = NewFileJob(JobCopy, L"/nirgends/", L"/nirgendwo/");
    StartFileJob(job, [](intptr_t parameter) {
        CopyJob& job = *reinterpret_cast<CopyJob*>(parameter);
        asking = true;
        answer = JobAsk(job, JobAskFailure, L"a", L"b");
        tk_event_post(EventJobDone, job.window);
    });
    while (!asking) rt_delay(1);
    rt_delay(50); // most likely waiting by now; if not, it sees the cancel at once
    CancelFileJob(QueuedJobs().back().id);
    for (int i = 0; i < 10000 && answer < 0; ++i) rt_delay(1); // no event taken meanwhile
    EXPECT_EQ(JobAnswerStop, answer.load());
    if (answer < 0) ShowJobQuestions(); // lets a worker that missed the cancel go
    RunJob();
    EXPECT_TRUE(jobAsked.empty()) << "the question of a cancelled job was shown";
}

} // namespace
