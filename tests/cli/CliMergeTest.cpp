// tolvex-cli merge on inputs that used to fail: a frame chosen smaller than the first
// input, a tall video and one without sound; and a failure that names the input to blame.

#include "CliRun.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tolvex;
using namespace tolvex::test;

TEST(CliMerge, SmallerFrameTallAndSilentInputsMergeWithTheOthersSoundInPlace)
{
    QTemporaryDir media;
    QTemporaryDir out;
    ASSERT_TRUE(MakeClip(media.filePath("wide.mp4"), Clip(640, 360, 1.0)));
    ASSERT_TRUE(MakeClip(media.filePath("tall silent.mp4"), Clip(180, 320, 1.0, Sound::None)));
    ASSERT_TRUE(MakeClip(media.filePath("after.mp4"), Clip(320, 240, 1.0)));
    const CliResult r = RunCli({"merge", "--size", "321x181", "--output-dir", out.path(), media.filePath("wide.mp4"),
                                media.filePath("tall silent.mp4"), media.filePath("after.mp4")});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
    const QString merged = SingleFileIn(out.path());
    const ProbedFile probed = ProbeFile(merged);
    ASSERT_TRUE(probed.ok);
    // The odd frame is rounded down to even sides.
    EXPECT_EQ(probed.width, 320);
    EXPECT_EQ(probed.height, 180);
    EXPECT_TRUE(probed.hasAudio);
    EXPECT_NEAR(probed.duration, 3.0, 0.3);
    // The silent input's second is silence; the last input's tone still comes after it.
    QTemporaryDir parts;
    ASSERT_TRUE(RunFfmpeg(
        {"-i", merged.toStdString(), "-ss", "1.2", "-t", "0.6", "-vn", parts.filePath("middle.wav").toStdString()}));
    ASSERT_TRUE(RunFfmpeg(
        {"-i", merged.toStdString(), "-ss", "2.2", "-t", "0.6", "-vn", parts.filePath("last.wav").toStdString()}));
    EXPECT_LT(MeanVolumeDb(parts.filePath("middle.wav")), -80.0);
    EXPECT_GT(MeanVolumeDb(parts.filePath("last.wav")), -40.0);
}

TEST(CliMerge, AFailedMergeNamesTheInputFfmpegBlamed)
{
    QTemporaryDir media;
    QTemporaryDir out;
    ASSERT_TRUE(MakeClip(media.filePath("good.mp4"), Clip(320, 240, 1.0)));
    QFile broken(media.filePath("broken.mp4"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(4096, 'x'));
    broken.close();
    const CliResult r =
        RunCli({"merge", "--output-dir", out.path(), media.filePath("good.mp4"), media.filePath("broken.mp4")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("(input 2: ") + media.filePath("broken.mp4") + QStringLiteral(")")))
        << qPrintable(r.out) << qPrintable(r.err.right(2000));
}
