// The task engine with the real ffmpeg: queues run in order, pages side by side, every job
// ends exactly once, failures free the page, removing and clearing kill at once, and no
// child process outlives a test.

#include "media/MediaProbe.h"
#include "tasks/HeadlessRunner.h"
#include "tasks/TaskEngine.h"
#include "tests/engine/EngineTestFixture.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/ScriptedFactory.h"
#include "tests/support/TestMedia.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <thread>

namespace tolvex {
namespace {

using Clock = std::chrono::steady_clock;
using test::NotRun;
using test::RunPlan;

// A job that runs until it is stopped: a half-minute picture paced in real time.
JobPlan LongJob(const std::string& output)
{
    return RunPlan(
        {"-re", "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=30", "-c:v", "mpeg4", "-y", output});
}

class TaskEngineTest : public test::EngineTestFixture {
protected:
    static std::chrono::milliseconds waitGone(pid_t pid)
    {
        const auto start = Clock::now();
        while (!test::ProcessGone(pid) && Clock::now() - start < std::chrono::seconds(3))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    }
    // Checks that nothing arrives after a stop need everything the stopped jobs' readers
    // posted to have been handled: their readers have returned, then the queue is emptied.
    void deliverWhatStoppedJobsPosted()
    {
        ASSERT_TRUE(test::WaitFor([this] { return engine().stoppedJobsFinished(); }, 10000));
        QCoreApplication::sendPostedEvents();
    }
};

TEST_F(TaskEngineTest, QueuedItemsRunOneAfterAnotherInListOrder)
{
    ASSERT_EQ(engine().workerCount(), 8);
    for (TaskId id : {10, 11, 12})
        m_factory.set(PageKind::Convert, id,
                      RunPlan(test::ConvertArgs(mediaPath("input.mp4"), outPath(std::to_string(id) + ".mp4"))));

    ASSERT_TRUE(engine().StartPage(PageKind::Convert, {10, 11, 12}));
    EXPECT_TRUE(engine().isPageBusy(PageKind::Convert));
    runAll();

    // The next job is planned only after the previous one's completion was handled.
    const std::vector<std::string> expected = {"plan 10", "done 10", "plan 11", "done 11", "plan 12", "done 12"};
    EXPECT_EQ(m_factory.journal(), expected);
    for (TaskId id : {10, 11, 12}) {
        EXPECT_EQ(m_doneCount[id], 1) << id;
        EXPECT_EQ(m_failCount[id], 0) << id;
        EXPECT_NEAR(m_durations[id], 1500, 50) << id;  // the audio encoder adds a little
        EXPECT_TRUE(std::is_sorted(m_progress[id].begin(), m_progress[id].end())) << id;
        EXPECT_GE(ProbeDurationSeconds(outPath(std::to_string(id) + ".mp4")), 1.4) << "the output is complete";
    }
    EXPECT_FALSE(engine().isPageBusy(PageKind::Convert));
    EXPECT_TRUE(engine().queuedTasks(PageKind::Convert).empty());
    EXPECT_FALSE(engine().runningTask(PageKind::Convert));
}

TEST_F(TaskEngineTest, StartingAgainAfterTheQueueDrainedRunsEveryItemAgain)
{
    m_factory.set(PageKind::Mute, 1, RunPlan(test::ConvertArgs(mediaPath("input.mp4"), outPath("1.mp4"))));
    m_factory.set(PageKind::Mute, 2, RunPlan(test::ConvertArgs(mediaPath("input.mp4"), outPath("2.mp4"))));
    ASSERT_TRUE(engine().StartPage(PageKind::Mute, {1, 2}));
    runAll();
    ASSERT_TRUE(engine().StartPage(PageKind::Mute, {1, 2, 1}));  // an id already queued is not added twice
    EXPECT_EQ(engine().queuedTasks(PageKind::Mute).size(), 2u);
    runAll();
    EXPECT_EQ(m_doneCount[1], 2);
    EXPECT_EQ(m_doneCount[2], 2);
    EXPECT_FALSE(engine().StartPage(PageKind::Mute, {})) << "an empty page starts nothing";
    EXPECT_FALSE(engine().isPageBusy(PageKind::Mute));
}

TEST_F(TaskEngineTest, PagesRunSideBySide)
{
    const PageKind pages[] = {PageKind::Convert, PageKind::Compress, PageKind::Extract, PageKind::Music};
    std::set<TaskId> reported;
    size_t mostRunningAtOnce = 0;
    // Each progress message counts the pages whose job runs at that moment.
    m_onProgress = [&](const TaskUpdate& r) {
        reported.insert(r.taskId);
        const auto running = std::count_if(std::begin(pages), std::end(pages),
                                           [&](PageKind page) { return engine().runningTask(page).has_value(); });
        mostRunningAtOnce = std::max(mostRunningAtOnce, static_cast<size_t>(running));
    };
    TaskId id = 100;
    for (const PageKind page : pages) {
        auto args = test::ConvertArgs(mediaPath("input.mp4"), outPath(std::to_string(id) + ".mp4"));
        args.insert(args.begin(), "-re");  // real time: each job takes its 1.5 s whatever the load
        m_factory.set(page, id, RunPlan(args));
        ASSERT_TRUE(engine().StartPage(page, {id}));
        ++id;
    }
    runAll();
    for (TaskId t = 100; t < id; ++t)
        EXPECT_EQ(m_doneCount[t], 1) << t;
    EXPECT_EQ(reported.size(), 4u);
    // Pages taking turns would never show more than one job running; how much time the
    // overlap saves is a figure of bench-engine-overhead ("side-by-side ratio").
    EXPECT_EQ(mostRunningAtOnce, 4u);
}

TEST_F(TaskEngineTest, FailuresEndTheJobAndThePageGoesOn)
{
    // A name full of what a shell would act on, as input and as output.
    const std::string hostileInput = mediaPath("-lead \"dq\" $HOME 'sq' `id` 中文 in.mp4");
    const std::string hostileOutput = outPath("-out \"dq\" $HOME 'sq' `id` 中文.mp4");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(mediaPath("input.mp4")), QString::fromStdString(hostileInput)));
    QFile garbage(QString::fromStdString(outPath("garbage.mp4")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(20000, 'x'));
    garbage.close();

    m_factory.set(PageKind::Convert, 1, RunPlan(test::ConvertArgs(outPath("missing.mp4"), outPath("o1.mp4"))));
    m_factory.set(PageKind::Convert, 2, RunPlan(test::ConvertArgs(outPath("garbage.mp4"), outPath("o2.mp4"))));
    m_factory.set(PageKind::Convert, 3, RunPlan(test::ConvertArgs(hostileInput, hostileOutput)));
    // "failed" in ffmpeg's output (the output's name) does not fail the job.
    m_factory.set(PageKind::Convert, 4, RunPlan(test::ConvertArgs(mediaPath("input.mp4"), outPath("failed-1.mp4"))));
    JobPlan noProgram = RunPlan(test::ConvertArgs(mediaPath("input.mp4"), outPath("o5.mp4")));
    noProgram.command.setProgram("/no/such/ffmpeg");
    m_factory.set(PageKind::Convert, 5, noProgram);
    m_factory.set(PageKind::Convert, 6, RunPlan(test::ConvertArgs(mediaPath("input.mp4"), outPath("o6.mp4"))));

    ASSERT_TRUE(engine().StartPage(PageKind::Convert, {1, 2, 3, 4, 5, 6}));
    runAll();

    for (TaskId id : {1, 2, 5}) {
        EXPECT_EQ(m_failCount[id], 1) << id;
        EXPECT_EQ(m_doneCount[id], 0) << id;
    }
    EXPECT_EQ(m_failReasons[5], "cannot run /no/such/ffmpeg: No such file or directory");
    for (TaskId id : {3, 4, 6}) {
        EXPECT_EQ(m_doneCount[id], 1) << id;
        EXPECT_EQ(m_failCount[id], 0) << id;
    }
    EXPECT_GE(ProbeDurationSeconds(hostileOutput), 1.4) << "the hostile name reached ffmpeg unchanged";
    EXPECT_FALSE(engine().isPageBusy(PageKind::Convert));
}

TEST_F(TaskEngineTest, PlansThatCannotRunFailOrDropAndThePageGoesOn)
{
    m_factory.set(PageKind::Split, 1, NotRun(JobPlan::Action::Fail, "no clip"));
    m_factory.set(PageKind::Split, 2, NotRun(JobPlan::Action::Drop, ""));
    m_factory.set(PageKind::Split, 3, RunPlan(test::ConvertArgs(mediaPath("input.mp4"), outPath("3.mp4"))));
    ASSERT_TRUE(engine().StartPage(PageKind::Split, {1, 2, 3}));
    runAll();
    EXPECT_EQ(m_failCount[1], 1);
    EXPECT_EQ(m_failReasons[1], "no clip");
    EXPECT_EQ(m_failCount[2] + m_doneCount[2], 0) << "a dropped task posts nothing";
    EXPECT_EQ(m_doneCount[3], 1);
    const std::vector<std::string> expected = {"plan 1", "fail 1", "plan 2", "plan 3", "done 3"};
    EXPECT_EQ(m_factory.journal(), expected);
}

TEST_F(TaskEngineTest, RemovingTheRunningItemKillsItsFfmpegAndTheNextStarts)
{
    m_factory.set(PageKind::Convert, 1, LongJob(outPath("1.mp4")));
    m_factory.set(PageKind::Convert, 2, RunPlan(test::ConvertArgs(mediaPath("input.mp4"), outPath("2.mp4"))));
    m_factory.set(PageKind::Convert, 3, RunPlan(test::ConvertArgs(mediaPath("input.mp4"), outPath("3.mp4"))));
    pid_t killed = 0;
    std::chrono::milliseconds killTime{0};
    m_onProgress = [&](const TaskUpdate& r) {
        if (r.taskId != 1 || killed)
            return;
        killed = engine().processOf(PageKind::Convert, 1).value_or(0);
        ASSERT_GT(killed, 0);
        m_factory.note("removed 1");
        engine().RemoveTask(PageKind::Convert, 3);  // only queued: leaves without running
        engine().RemoveTask(PageKind::Convert, 1);
        killTime = waitGone(killed);
    };
    ASSERT_TRUE(engine().StartPage(PageKind::Convert, {1, 2, 3}));
    runAll();
    deliverWhatStoppedJobsPosted();

    ASSERT_GT(killed, 0);
    EXPECT_LT(killTime, std::chrono::milliseconds(1000));
    const std::vector<std::string> expected = {"plan 1", "removed 1", "plan 2", "done 2"};
    EXPECT_EQ(m_factory.journal(), expected) << "nothing is posted for a removed job";
    EXPECT_EQ(m_failCount[1] + m_doneCount[1], 0);
}

TEST_F(TaskEngineTest, ClearingStopsEveryJobOfThePage)
{
    m_factory.set(PageKind::Convert, 1, LongJob(outPath("1.mp4")));
    m_factory.set(PageKind::Convert, 2, LongJob(outPath("2.mp4")));
    m_factory.set(PageKind::Gif, 3, LongJob(outPath("3.mp4")));
    std::map<TaskId, pid_t> pids;
    m_onProgress = [&](const TaskUpdate& r) {
        const PageKind page = r.taskId == 3 ? PageKind::Gif : PageKind::Convert;
        if (!pids.count(r.taskId))
            pids[r.taskId] = engine().processOf(page, r.taskId).value_or(0);
        if (pids.size() == 2 && !pids.count(-2)) {
            pids[-2] = 0;  // cleared once
            m_factory.note("cleared");
            engine().ClearPage(PageKind::Convert);
            engine().ClearPage(PageKind::Gif);
        }
    };
    ASSERT_TRUE(engine().StartPage(PageKind::Convert, {1, 2}));
    ASSERT_TRUE(engine().StartPage(PageKind::Gif, {3}));
    runAll();
    deliverWhatStoppedJobsPosted();

    for (TaskId id : {1, 3}) {
        ASSERT_GT(pids[id], 0) << id;
        EXPECT_LT(waitGone(pids[id]), std::chrono::milliseconds(1000)) << id;
    }
    const auto journal = m_factory.journal();
    EXPECT_EQ(journal.back(), "cleared") << "no message after the clear, and task 2 never ran";
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "plan 2"), 0);
    EXPECT_TRUE(engine().queuedTasks(PageKind::Convert).empty());
    EXPECT_FALSE(engine().isPageBusy(PageKind::Gif));
}

TEST_F(TaskEngineTest, EngineGoingAwayKillsRunningJobs)
{
    m_factory.set(PageKind::Rotate, 1, LongJob(outPath("1.mp4")));
    m_factory.set(PageKind::Convert, 2, LongJob(outPath("2.mp4")));
    ASSERT_TRUE(engine().StartPage(PageKind::Rotate, {1}));
    ASSERT_TRUE(engine().StartPage(PageKind::Convert, {2}));
    test::WaitFor([this] { return m_progress.size() >= 2; }, 10000);
    ASSERT_EQ(m_progress.size(), 2u);
    const pid_t a = engine().processOf(PageKind::Rotate, 1).value_or(0);
    const pid_t b = engine().processOf(PageKind::Convert, 2).value_or(0);
    m_runner.reset();  // StopAllJobs, then the workers and readers end
    EXPECT_TRUE(test::ProcessGone(a));
    EXPECT_TRUE(test::ProcessGone(b));
}

TEST_F(TaskEngineTest, MergeJobRunsWithoutAQueue)
{
    ASSERT_TRUE(test::MakeVideo(outPath("a.mp4"), 1.0));
    ASSERT_TRUE(test::MakeVideo(outPath("b.mp4"), 1.0));
    CommandLine merge;
    merge.add("-hide_banner").add("-i").addQuoted(outPath("a.mp4")).add("-i").addQuoted(outPath("b.mp4"));
    merge.add("-vsync").add("2").add("-filter_complex");
    merge.addQuoted("[0:v][0:a][1:v][1:a]concat=n=2:v=1:a=1 [v][a]");
    merge.add("-map").addQuoted("[v]").add("-map").addQuoted("[a]").add("-c:v").add("mpeg4").addQuoted(
        outPath("merged.mp4"));
    m_runner->setMergeTotalSeconds(2.0);
    std::vector<int> mergePercents;
    m_onProgress = [&](const TaskUpdate& r) {
        EXPECT_EQ(r.taskId, kMergeTaskId);
        EXPECT_EQ(r.page, PageKind::Merge);
    };
    engine().startMerge(merge);
    EXPECT_TRUE(engine().isPageBusy(PageKind::Merge));
    runAll();
    EXPECT_EQ(m_doneCount[kMergeTaskId], 1);
    EXPECT_FALSE(engine().isPageBusy(PageKind::Merge));
    EXPECT_NEAR(ProbeDurationSeconds(outPath("merged.mp4")), 2.0, 0.15);
    EXPECT_TRUE(m_factory.journal() == std::vector<std::string>{"done -1"});
}

TEST_F(TaskEngineTest, MergeThatCannotStartFreesItsPage)
{
    CommandLine merge("/no/such/ffmpeg");
    merge.add("-i").addQuoted(outPath("a.mp4"));
    engine().startMerge(merge);
    runAll();
    EXPECT_EQ(m_failCount[kMergeTaskId], 1);
    EXPECT_FALSE(engine().isPageBusy(PageKind::Merge));
}

// A two-pass x264 encode of `input`: the first pass analyses into pass log files beside
// `logPrefix` and writes nothing, the second writes `output`.
JobPlan TwoPassPlan(const std::string& input, const std::string& logPrefix, const std::string& output)
{
    const std::vector<std::string> video = {"-c:v", "libx264", "-preset",      "ultrafast",
                                            "-b:v", "150k",    "-passlogfile", logPrefix};
    std::vector<std::string> first = {"-y", "-i", input};
    first.insert(first.end(), video.begin(), video.end());
    for (const char* a : {"-pass", "1", "-an", "-f", "null", "/dev/null"})
        first.push_back(a);
    std::vector<std::string> second = {"-y", "-i", input};
    second.insert(second.end(), video.begin(), video.end());
    for (const char* a : {"-pass", "2", "-c:a", "aac"})
        second.push_back(a);
    second.push_back(output);

    JobPlan plan = RunPlan(second);
    plan.earlierPasses.push_back(RunPlan(first).command);
    plan.scratchFiles = {logPrefix + "-0.log", logPrefix + "-0.log.mbtree"};
    return plan;
}

TEST_F(TaskEngineTest, TwoPassJobRunsBothPassesUnderOneBar)
{
    QTemporaryDir scratch;
    const std::string log = scratch.filePath(QStringLiteral("pass")).toStdString();
    m_factory.set(PageKind::Compress, 1, TwoPassPlan(mediaPath("input.mp4"), log, outPath("two.mp4")));
    bool sawLogDuringJob = false;
    m_onProgress = [&](const TaskUpdate&) {
        sawLogDuringJob = sawLogDuringJob || QFile::exists(QString::fromStdString(log + "-0.log"));
    };
    ASSERT_TRUE(engine().StartPage(PageKind::Compress, {1}));
    runAll();

    EXPECT_EQ(m_doneCount[1], 1);
    EXPECT_EQ(m_failCount[1], 0) << m_failReasons[1];
    const test::ProbedFile probed = test::ProbeFile(QString::fromStdString(outPath("two.mp4")));
    EXPECT_EQ(probed.videoCodec, QStringLiteral("h264"));
    EXPECT_NEAR(probed.duration, 1.5, 0.1);
    // One bar over both passes: it climbs through the first half, then the second.
    const std::vector<int>& percents = m_percents[1];
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_TRUE(std::any_of(percents.begin(), percents.end(), [](int p) { return p > 0 && p <= 50; }));
    EXPECT_TRUE(std::any_of(percents.begin(), percents.end(), [](int p) { return p > 50; }));
    EXPECT_EQ(percents.back(), 100);
    // The pass logs existed while the job ran and are gone with it.
    EXPECT_TRUE(sawLogDuringJob);
    EXPECT_TRUE(QDir(scratch.path()).isEmpty())
        << QDir(scratch.path()).entryList().join(QLatin1Char(' ')).toStdString();
}

TEST_F(TaskEngineTest, FailedFirstPassEndsTheJobAndTheSecondNeverRuns)
{
    QTemporaryDir scratch;
    const std::string log = scratch.filePath(QStringLiteral("pass")).toStdString();
    JobPlan plan = TwoPassPlan(mediaPath("input.mp4"), log, outPath("two.mp4"));
    plan.earlierPasses.front() = RunPlan(test::ConvertArgs(outPath("missing.mp4"), "/dev/null")).command;
    m_factory.set(PageKind::Compress, 1, plan);
    m_factory.set(PageKind::Compress, 2, RunPlan(test::ConvertArgs(mediaPath("input.mp4"), outPath("next.mp4"))));
    ASSERT_TRUE(engine().StartPage(PageKind::Compress, {1, 2}));
    runAll();

    EXPECT_EQ(m_failCount[1], 1);
    EXPECT_EQ(m_doneCount[1], 0);
    EXPECT_EQ(m_failReasons[1].rfind("ffmpeg exited with status 1: ", 0), 0u) << m_failReasons[1];
    EXPECT_NE(m_failReasons[1].find("No such file or directory"), std::string::npos) << m_failReasons[1];
    EXPECT_FALSE(QFile::exists(QString::fromStdString(outPath("two.mp4")))) << "the second pass never ran";
    EXPECT_TRUE(QDir(scratch.path()).isEmpty());
    EXPECT_EQ(m_doneCount[2], 1) << "the page goes on";
}

TEST_F(TaskEngineTest, RemovingATwoPassJobStopsItWhicheverPassRuns)
{
    QTemporaryDir scratch;
    const std::string log = scratch.filePath(QStringLiteral("pass")).toStdString();
    // A first pass that runs until it is stopped.
    JobPlan plan = TwoPassPlan(mediaPath("input.mp4"), log, outPath("two.mp4"));
    plan.earlierPasses.front() =
        RunPlan({"-re", "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=30", "-f", "null", "/dev/null"})
            .command;
    m_factory.set(PageKind::Compress, 1, plan);
    pid_t first = 0;
    m_onProgress = [&](const TaskUpdate& r) {
        if (first)
            return;
        first = engine().processOf(PageKind::Compress, r.taskId).value_or(0);
        engine().RemoveTask(PageKind::Compress, 1);
    };
    ASSERT_TRUE(engine().StartPage(PageKind::Compress, {1}));
    runAll();
    ASSERT_GT(first, 0);
    EXPECT_LT(waitGone(first), std::chrono::milliseconds(1000));
    deliverWhatStoppedJobsPosted();
    EXPECT_EQ(m_doneCount[1] + m_failCount[1], 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(outPath("two.mp4")))) << "no later pass starts after a stop";
}

}  // namespace
}  // namespace tolvex
