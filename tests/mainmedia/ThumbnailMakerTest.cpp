// The thumbnail run with the real ffmpeg: the picture, a file ffmpeg cannot read, and a
// run that overruns its time limit.

#include "tasks/FfmpegLocator.h"
#include "tasks/ThumbnailMaker.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

namespace tolvex {
namespace {

TEST(ThumbnailMaker, CommandIsTheDescribedOne)
{
    const CommandLine command = ThumbnailMaker::command("/usr/bin/ffmpeg", QStringLiteral("/v/a \"b\".mp4"),
                                                        QStringLiteral("/t/a-thumbnail-1.jpg"));
    EXPECT_EQ(
        command.render(),
        "\"/usr/bin/ffmpeg\" -i \"/v/a \"b\".mp4\" -y -f image2 -t 0.001 -s 120x70 -update 1 \"/t/a-thumbnail-1.jpg\"");
    // The quotes of the rendered text are not part of the arguments.
    EXPECT_EQ(command.argv().at(2), "/v/a \"b\".mp4");
}

TEST(ThumbnailMaker, WritesASmallPictureOfAVideo)
{
    QTemporaryDir dir;
    const QString video = dir.filePath(QStringLiteral("clip one.mp4"));
    ASSERT_TRUE(test::MakeVideo(video.toStdString(), 1.0));
    const QString picture = dir.filePath(QStringLiteral("clip one-thumbnail.jpg"));
    const ThumbnailResult result = ThumbnailMaker::run(ThumbnailMaker::command(FfmpegProgramPath(), video, picture));
    ASSERT_TRUE(result.ok()) << result.exitCode;
    EXPECT_EQ(result.exitCode, 0);
    QImageReader reader(picture);
    EXPECT_EQ(reader.format(), "jpeg");
    EXPECT_EQ(reader.size(), QSize(120, 70));
    EXPECT_TRUE(test::NoChildProcesses());
}

TEST(ThumbnailMaker, APercentInTheNameIsNotAFramePattern)
{
    // "%d" and "%03d" would make the image writer number its files; the picture lands
    // under exactly the reserved name.
    QTemporaryDir dir;
    const QString video = dir.filePath(QStringLiteral("100% %d.mp4"));
    ASSERT_TRUE(test::MakeVideo(video.toStdString(), 1.0));
    const QString picture =
        ThumbnailMaker::thumbnailPath(dir.path(), QStringLiteral("100% %d %03d.mp4"), QDateTime::currentDateTime());
    const ThumbnailResult result = ThumbnailMaker::run(ThumbnailMaker::command(FfmpegProgramPath(), video, picture));
    ASSERT_TRUE(result.ok()) << result.exitCode;
    EXPECT_EQ(QImageReader(picture).size(), QSize(120, 70));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "the video and its one picture";
}

TEST(ThumbnailMaker, AFileFfmpegCannotReadFails)
{
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("broken.mp4"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'z'));
    file.close();
    const QString picture = dir.filePath(QStringLiteral("broken.jpg"));
    const ThumbnailResult result = ThumbnailMaker::run(ThumbnailMaker::command(FfmpegProgramPath(), broken, picture));
    EXPECT_EQ(result.outcome, ThumbnailResult::Outcome::Failed);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_FALSE(QFile::exists(picture));

    const ThumbnailResult missing = ThumbnailMaker::run(
        ThumbnailMaker::command(FfmpegProgramPath(), dir.filePath(QStringLiteral("gone.mp4")), picture));
    EXPECT_EQ(missing.outcome, ThumbnailResult::Outcome::Failed);
    EXPECT_TRUE(test::NoChildProcesses());
}

TEST(ThumbnailMaker, AnOverrunningRunIsKilledAtItsLimit)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    CommandLine sleeper("/bin/sleep");
    sleeper.add("30");
    const ThumbnailResult result = ThumbnailMaker::run(sleeper, 300);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_EQ(result.outcome, ThumbnailResult::Outcome::Overran);
    EXPECT_FALSE(result.ok());
    EXPECT_GE(took, 290);
    EXPECT_LT(took, 3000);
    EXPECT_TRUE(test::NoChildProcesses()) << "the killed process is reaped";

    // An abort ends the wait at once as well.
    std::atomic<bool> abort{true};
    const auto again = Clock::now();
    EXPECT_EQ(ThumbnailMaker::run(sleeper, 10000, &abort).outcome, ThumbnailResult::Outcome::Overran);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - again).count(), 2000);
    EXPECT_TRUE(test::NoChildProcesses());
}

}  // namespace
}  // namespace tolvex
