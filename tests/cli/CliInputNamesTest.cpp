// Inputs whose names give ffmpeg no container: a name without an extension, or with one no
// muxer claims, keeps the probed container on the pages that write the input's own format.

#include "CliRun.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tolvex;
using namespace tolvex::test;

TEST(CliInputNames, NamesWithoutAUsableExtensionTakeTheProbedContainer)
{
    QTemporaryDir media;
    ASSERT_TRUE(MakeClip(media.filePath("made.mp4"), Clip(320, 240, 1.5)));
    ASSERT_TRUE(MakeClip(media.filePath("made.mkv"), Clip(320, 240, 1.5)));
    ASSERT_TRUE(QFile::copy(media.filePath("made.mp4"), media.filePath("phone video")));
    ASSERT_TRUE(QFile::copy(media.filePath("made.mkv"), media.filePath("episode.backup")));

    const struct {
        QStringList page;
        const char* input;
        const char* extension;
    } cases[] = {
        {{"rotate", "--rotate", "6"}, "phone video", "mp4"},
        {{"mute", "--volume", "3"}, "phone video", "mp4"},
        {{"compress"}, "phone video", "mp4"},
        {{"rotate", "--rotate", "7"}, "episode.backup", "mkv"},
    };
    for (const auto& c : cases) {
        QTemporaryDir out;
        QStringList args = c.page;
        args << "--output-dir" << out.path() << media.filePath(QString::fromLatin1(c.input));
        const CliResult r = RunCli(args);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(c.page.front()) << qPrintable(r.out) << qPrintable(r.err.right(2000));
        const QString file = SingleFileIn(out.path());
        EXPECT_TRUE(file.endsWith(QLatin1Char('.') + QString::fromLatin1(c.extension))) << qPrintable(file);
        const ProbedFile probed = ProbeFile(file);
        EXPECT_TRUE(probed.hasVideo) << qPrintable(file);
        EXPECT_NEAR(probed.duration, 1.5, 0.3) << qPrintable(file);
    }
}
