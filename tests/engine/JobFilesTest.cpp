// What the engine guarantees about the user's files, with the real ffmpeg: a job is done
// only when ffmpeg exited well and left a file; nothing already there or written by
// another job is overwritten; a job that fails or is stopped leaves nothing behind; only
// an absolute ffmpeg runs; a silent ffmpeg is given up.

#include "media/MediaProbe.h"
#include "tasks/HeadlessRunner.h"
#include "tasks/TaskEngine.h"
#include "tests/engine/EngineTestFixture.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/ScriptedFactory.h"
#include "tests/support/TestMedia.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <thread>

namespace tolvex {
namespace {

using test::RunPlan;
using Clock = std::chrono::steady_clock;

// A copy of `source` whose media data past its first few percent is random bytes.
bool MakeDamaged(const std::string& source, const std::string& damaged)
{
    std::ifstream in(source, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t box = data.find("mdat");
    if (box == std::string::npos || box < 4)
        return false;
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(data[i])); };
    const size_t size = byte(box - 4) << 24 | byte(box - 3) << 16 | byte(box - 2) << 8 | byte(box - 1);
    const size_t start = box + 4;
    const size_t end = std::min(data.size(), box - 4 + size);
    std::mt19937 random(7);
    for (size_t i = start + (end - start) / 20; i < end; ++i)
        data[i] = static_cast<char>(random() & 0xFF);
    std::ofstream(damaged, std::ios::binary) << data;
    return true;
}

class JobFilesTest : public test::EngineTestFixture {
protected:
    QStringList outFiles() const { return QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden); }
};

TEST_F(JobFilesTest, FfmpegsClosingWordsInNamesAndTagsDoNotEndTheJobEarly)
{
    // The words ffmpeg prints at its end, in the output's name and in the input's title.
    const std::string tagged = mediaPath("tagged.mp4");
    ASSERT_TRUE(test::RunFfmpeg({"-i", mediaPath("input.mp4"), "-c", "copy", "-metadata",
                                 "title=muxing overhead: 0% Duration: 00:00:00.10", tagged}));
    const std::string output = outPath("muxing overhead: 0%.mp4");
    m_factory.set(PageKind::Convert, 1, RunPlan(test::ConvertArgs(tagged, output)));
    ASSERT_TRUE(engine().StartPage(PageKind::Convert, {1}));
    runAll();

    EXPECT_EQ(m_doneCount[1], 1);
    EXPECT_EQ(m_failCount[1], 0) << m_failReasons[1];
    EXPECT_EQ(m_outputs[1], output);
    EXPECT_NEAR(ProbeDurationSeconds(output), 1.5, 0.1) << "the file is complete when the job is done";
    // The duration is the input's own (1.5 s), not the title's 0.1 s: the bar climbs.
    const std::vector<int>& percents = m_percents[1];
    ASSERT_FALSE(percents.empty());
    EXPECT_LE(*std::max_element(percents.begin(), percents.end()), 100);
    EXPECT_EQ(percents.back(), 100);
}

TEST_F(JobFilesTest, FailuresCarryFfmpegsReasonAndLeaveNoFile)
{
    ASSERT_TRUE(MakeDamaged(mediaPath("input.mp4"), mediaPath("damaged.mp4")));
    m_factory.set(PageKind::Convert, 1, RunPlan(test::ConvertArgs(mediaPath("damaged.mp4"), outPath("d.mp4"))));
    m_factory.set(PageKind::Convert, 2, RunPlan(test::ConvertArgs(mediaPath("missing.mp4"), outPath("m.mp4"))));
    // Status 0 but an empty file: no frame is written.
    m_factory.set(
        PageKind::Convert, 3,
        RunPlan({"-i", mediaPath("input.mp4"), "-map", "0:v", "-frames:v", "0", "-f", "rawvideo", outPath("e.raw")}));
    ASSERT_TRUE(engine().StartPage(PageKind::Convert, {1, 2, 3}));
    runAll();

    for (TaskId id : {1, 2, 3}) {
        EXPECT_EQ(m_failCount[id], 1) << id;
        EXPECT_EQ(m_doneCount[id], 0) << id;
    }
    EXPECT_EQ(m_failReasons[1], "ffmpeg exited with status 69: Conversion failed!");
    EXPECT_EQ(m_failReasons[2],
              "ffmpeg exited with status 1: " + mediaPath("missing.mp4") + ": No such file or directory");
    EXPECT_EQ(m_failReasons[3], "ffmpeg wrote an empty output file");
    EXPECT_TRUE(outFiles().isEmpty()) << outFiles().join(QLatin1Char(' ')).toStdString();
}

TEST_F(JobFilesTest, TakenNamesGetTheNextNumberAndNothingIsOverwritten)
{
    const std::string wanted = outPath("a-101500.mp4");
    std::ofstream(wanted) << "the user's own file";
    // Two pages write the same name at the same time; one command has no "-y".
    JobPlan noOverwrite = RunPlan({"-i", mediaPath("input.mp4"), "-c:v", "mpeg4", "-c:a", "aac", wanted});
    m_factory.set(PageKind::Convert, 1, RunPlan(test::ConvertArgs(mediaPath("input.mp4"), wanted)));
    m_factory.set(PageKind::Rotate, 2, noOverwrite);
    ASSERT_TRUE(engine().StartPage(PageKind::Convert, {1}));
    ASSERT_TRUE(engine().StartPage(PageKind::Rotate, {2}));
    runAll();

    EXPECT_EQ(m_doneCount[1] + m_doneCount[2], 2) << m_failReasons[1] << m_failReasons[2];
    const std::set<std::string> names = {m_outputs[1], m_outputs[2]};
    EXPECT_EQ(names, (std::set<std::string>{outPath("a-101500-1.mp4"), outPath("a-101500-2.mp4")}));
    for (const std::string& name : names)
        EXPECT_NEAR(ProbeDurationSeconds(name), 1.5, 0.1) << name;
    std::ifstream kept(wanted);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "the user's own file");
    EXPECT_EQ(outFiles().size(), 3);
}

TEST_F(JobFilesTest, StoppedJobsLeaveNoFileWhateverStoppedThem)
{
    // Real-time jobs that run until they are stopped, on three pages.
    const auto longJob = [](const std::string& output) {
        return RunPlan(
            {"-re", "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=30", "-c:v", "mpeg4", "-y", output});
    };
    m_factory.set(PageKind::Convert, 1, longJob(outPath("removed.mp4")));
    m_factory.set(PageKind::Gif, 2, longJob(outPath("cleared.mp4")));
    m_factory.set(PageKind::Music, 3, longJob(outPath("closed.mp4")));
    std::map<TaskId, pid_t> pids;
    m_onProgress = [&](const TaskUpdate& r) {
        const PageKind pages[] = {PageKind::Convert, PageKind::Convert, PageKind::Gif, PageKind::Music};
        pids.emplace(r.taskId, engine().processOf(pages[r.taskId], r.taskId).value_or(0));
    };
    for (const auto& [page, id] : {std::pair{PageKind::Convert, 1}, {PageKind::Gif, 2}, {PageKind::Music, 3}})
        ASSERT_TRUE(engine().StartPage(page, {id}));
    // Each has written part of its file.
    ASSERT_TRUE(test::WaitFor(
        [&] {
            struct stat info {};
            for (const char* name : {"removed.mp4", "cleared.mp4", "closed.mp4"}) {
                if (::stat(outPath(name).c_str(), &info) != 0 || info.st_size == 0)
                    return false;
            }
            return pids.size() == 3;
        },
        20000));

    engine().RemoveTask(PageKind::Convert, 1);
    engine().ClearPage(PageKind::Gif);
    ASSERT_TRUE(test::WaitFor([&] { return outFiles().size() == 1; }, 5000))
        << outFiles().join(QLatin1Char(' ')).toStdString();
    m_runner.reset();  // the program closes with a job running
    EXPECT_TRUE(outFiles().isEmpty()) << outFiles().join(QLatin1Char(' ')).toStdString();
    for (const auto& [id, pid] : pids)
        EXPECT_TRUE(test::ProcessGone(pid)) << id;
    EXPECT_TRUE(m_doneCount.empty() && m_failCount.empty()) << "nothing is shown for a stopped job";
}

TEST_F(JobFilesTest, ARemoveRightAfterSuccessLeavesNoUnreportedFile)
{
    // The job ends well, its reader keeps the file and posts the done; the remove comes
    // before the engine took that done (no event is handled in between).
    m_factory.set(PageKind::Convert, 1,
                  RunPlan({"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=10:duration=0.3", "-c:v", "mpeg4", "-y",
                           outPath("late.mp4")}));
    ASSERT_TRUE(engine().StartPage(PageKind::Convert, {1}));
    const auto waitWithoutEvents = [](const std::function<bool()>& done) {
        for (int i = 0; i < 2000 && !done(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return done();
    };
    pid_t pid = 0;
    ASSERT_TRUE(waitWithoutEvents([&] {
        pid = engine().processOf(PageKind::Convert, 1).value_or(0);
        return pid != 0;
    }));
    ASSERT_TRUE(waitWithoutEvents([&] { return test::ProcessGone(pid); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the reader settles and posts

    engine().RemoveTask(PageKind::Convert, 1);
    test::Pump(300);
    EXPECT_EQ(m_doneCount[1], 0) << "the done of a removed task is void";
    EXPECT_TRUE(outFiles().isEmpty()) << "and so is its file: " << outFiles().join(QLatin1Char(' ')).toStdString();
}

TEST_F(JobFilesTest, OnlyAnAbsoluteFfmpegRuns)
{
    // A program named ffmpeg in the current folder must never run.
    QTemporaryDir here;
    const std::string marker = here.filePath(QStringLiteral("ran")).toStdString();
    std::ofstream(here.filePath(QStringLiteral("ffmpeg")).toStdString()) << "#!/bin/sh\ntouch '" << marker << "'\n";
    ::chmod(here.filePath(QStringLiteral("ffmpeg")).toLocal8Bit().constData(), 0755);
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(here.path()));

    JobPlan relative = RunPlan(test::ConvertArgs(mediaPath("input.mp4"), outPath("r.mp4")));
    relative.command.setProgram("ffmpeg");
    m_factory.set(PageKind::Convert, 1, relative);
    JobPlan dotted = relative;
    dotted.command.setProgram("./ffmpeg");
    m_factory.set(PageKind::Convert, 2, dotted);
    ASSERT_TRUE(engine().StartPage(PageKind::Convert, {1, 2}));
    runAll();
    QDir::setCurrent(previous);

    EXPECT_EQ(m_failReasons[1], "ffmpeg not found");
    EXPECT_EQ(m_failReasons[2], "ffmpeg not found");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(marker)));
    EXPECT_TRUE(outFiles().isEmpty()) << "the reserved name is freed again";
}

TEST_F(JobFilesTest, AnFfmpegThatPrintsNothingIsGivenUp)
{
    // ffmpeg waits for a writer on a FIFO that nobody opens: it prints nothing at all.
    const std::string fifo = outPath("input.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // ffmpeg prints its statistics every half second: a working job is never this silent.
    engine().setSilenceLimit(std::chrono::milliseconds(2000));
    m_factory.set(PageKind::Extract, 1, RunPlan({"-f", "s16le", "-i", fifo, "-y", outPath("silent.wav")}));
    m_factory.set(PageKind::Extract, 2, RunPlan(test::ConvertArgs(mediaPath("input.mp4"), outPath("next.mp4"))));
    const auto start = Clock::now();
    ASSERT_TRUE(engine().StartPage(PageKind::Extract, {1, 2}));
    runAll();

    EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(m_failReasons[1], "ffmpeg stopped responding");
    EXPECT_EQ(m_doneCount[2], 1) << "the page goes on: " << m_failReasons[2];
    EXPECT_FALSE(QFile::exists(QString::fromStdString(outPath("silent.wav"))));
    ::unlink(fifo.c_str());
}

}  // namespace
}  // namespace tolvex
