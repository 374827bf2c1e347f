// The compress job in the real engine with the real ffmpeg: both passes run as one job whose
// bar climbs once across them, one file comes out within its promise and the pass logs are
// gone; a result larger than its limit is not kept.

#include "app/ConsoleLog.h"
#include "app/Folders.h"
#include "media/EncoderSupport.h"
#include "tasks/CompressCommand.h"
#include "tasks/FfmpegLocator.h"
#include "tasks/HeadlessRunner.h"
#include "tasks/PageJobFactory.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace tolvex;
using namespace tolvex::test;

namespace {

class CompressSettingsSource : public JobInputSource {
public:
    CompressSettings settings{QStringLiteral("原格式"), QStringLiteral("原分辨率"), 50};
    QString folder;
    std::optional<ConvertSettings> convertSettings(TaskId) override { return std::nullopt; }
    std::optional<CompressSettings> compressSettings(TaskId) override { return settings; }
    std::optional<RotateSettings> rotateSettings(TaskId) override { return std::nullopt; }
    ExtractSettings extractSettings() override { return {}; }
    MuteSettings muteSettings() override { return {}; }
    MusicSettings musicSettings() override { return {}; }
    QString outputFolder() override { return folder; }
};

// One fixed plan for every task.
class FixedPlan : public JobFactory {
public:
    explicit FixedPlan(JobPlan plan) : m_plan(std::move(plan)) {}
    JobPlan planJob(PageKind, TaskId) override { return m_plan; }

private:
    JobPlan m_plan;
};

struct Outcome {
    int done = 0;
    int failed = 0;
    std::string reason;
    std::vector<int> percents;
};

Outcome RunCompressPage(JobFactory& factory, HeadlessRunner& runner, TaskId id)
{
    Outcome outcome;
    HeadlessRunner::Callbacks callbacks;
    callbacks.progress = [&](const TaskUpdate& update) { outcome.percents.push_back(update.percent); };
    callbacks.done = [&](const TaskUpdate&) { ++outcome.done; };
    callbacks.failed = [&](const TaskUpdate& r) {
        ++outcome.failed;
        outcome.reason = r.reason;
    };
    runner.setCallbacks(callbacks);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &runner, [&runner] { runner.engine().StopAllJobs(); });
    deadline.start(120000);
    runner.engine().StartPage(PageKind::Compress, {id});
    runner.run();
    return outcome;
}

// Pass logs of this process's compress jobs left in the temp folder.
QStringList PassLogsLeft()
{
    return QDir(ProcessTempFolder()).entryList({QStringLiteral("compress-pass-%1-*").arg(getpid())}, QDir::Files);
}

}  // namespace

TEST(CompressJob, TwoPassesWriteOneFileWithinThePromiseAndLeaveNoPassLog)
{
    SetConsoleTarget(ConsoleTarget::Silent);
    QTemporaryDir media;
    QTemporaryDir out;
    const QString input = media.filePath("clip.mp4");
    ClipShape shape = Clip(640, 360, 3.0);
    shape.videoBitRate = QStringLiteral("2M");
    ASSERT_TRUE(MakeClip(input, shape));

    MediaItemTable items;
    OutputParamsTable params;
    SplitClipTable splitClips;
    GifClipTable gifClips;
    MediaItem item;
    item.fileName = QStringLiteral("clip.mp4");
    item.folder = media.path();
    item.fullPath = input;
    item.fileSize = QFileInfo(input).size();
    items.set(0, item);
    CompressSettingsSource source;
    source.folder = out.path();
    PageJobFactory factory({items, params, splitClips, gifClips}, source, nullptr, FfmpegProgramPath(),
                           EncoderSupport::system());
    HeadlessRunner runner(factory);
    factory.setReceiver(&runner);

    const Outcome outcome = RunCompressPage(factory, runner, 0);
    ASSERT_EQ(outcome.done, 1) << outcome.reason;
    const QStringList files = QDir(out.path()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    const QString file = out.filePath(files.front());
    const int64_t promised = CompressTargetBytes(item.fileSize, 50);
    EXPECT_LE(QFileInfo(file).size(), promised);
    EXPECT_GE(QFileInfo(file).size(), promised / 2);
    const ProbedFile probed = ProbeFile(file);
    EXPECT_TRUE(probed.hasVideo);
    EXPECT_TRUE(probed.hasAudio);
    EXPECT_NEAR(probed.duration, 3.0, 0.3);

    // One bar over both passes: it never goes back, passes the middle and ends full.
    ASSERT_FALSE(outcome.percents.empty());
    EXPECT_TRUE(std::is_sorted(outcome.percents.begin(), outcome.percents.end()));
    EXPECT_TRUE(
        std::any_of(outcome.percents.begin(), outcome.percents.end(), [](int p) { return p >= 40 && p <= 60; }));
    EXPECT_EQ(outcome.percents.back(), 100);
    EXPECT_TRUE(PassLogsLeft().isEmpty()) << qPrintable(PassLogsLeft().join(' '));
}

TEST(CompressJob, AResultLargerThanItsLimitFailsAndIsNotKept)
{
    SetConsoleTarget(ConsoleTarget::Silent);
    QTemporaryDir out;
    const std::string output = out.filePath("big.mp4").toStdString();
    JobPlan plan;
    plan.command = CommandLine(FfmpegProgramPath());
    plan.command.add("-f").add("lavfi").add("-i").add("testsrc2=size=320x240:rate=25:duration=1");
    plan.command.add("-c:v").add("mpeg4").addQuoted(output);
    plan.outputLimit = 1000;
    plan.tooLargeReason = "压缩结果比原文件还大";
    FixedPlan factory(plan);
    HeadlessRunner runner(factory);

    const Outcome outcome = RunCompressPage(factory, runner, 0);
    EXPECT_EQ(outcome.done, 0);
    EXPECT_EQ(outcome.failed, 1);
    EXPECT_EQ(outcome.reason, "压缩结果比原文件还大");
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files).isEmpty());
}
