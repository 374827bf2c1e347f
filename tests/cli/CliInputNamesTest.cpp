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

TEST(CliInputNames, A250ByteChineseNameGoesThroughEveryPage)
{
    // 82 Chinese characters and ".mp4": 250 bytes, ten below the file name limit, as
    // downloaded videos are often named.
    QTemporaryDir media;
    const QString name = QString(82, QChar(0x89C6)) + QStringLiteral(".mp4");
    ASSERT_EQ(name.toUtf8().size(), 250);
    const QString input = media.filePath(name);
    ASSERT_TRUE(MakeClip(input, Clip(320, 240, 1.5)));
    ASSERT_TRUE(MakeTone(media.filePath(QStringLiteral("music.mp3")), 0.5, 660));

    const QStringList pages[] = {
        {"convert", "--format", "mkv"},
        {"compress"},
        {"rotate", "--rotate", "1"},
        {"extract", "--format", "mp3"},
        {"mute", "--mute"},
        {"music", "--music", media.filePath(QStringLiteral("music.mp3"))},
        {"split", "--start", "0:0:0", "--end", "0:0:1"},
        {"gif", "--start", "0:0:0", "--end", "0:0:1"},
        {"merge"},
    };
    for (const QStringList& page : pages) {
        SCOPED_TRACE(page.front().toStdString());
        QTemporaryDir out;
        // The same input twice where a page takes several: the second output is numbered
        // when both jobs start within the same second.
        const bool many = page.front() != QLatin1String("split") && page.front() != QLatin1String("gif");
        QStringList args = page;
        args << "--output-dir" << out.path() << input;
        if (many)
            args << input;
        const CliResult r = RunCli(args);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
        const QStringList files = QDir(out.path()).entryList(QDir::Files);
        ASSERT_EQ(files.size(), many && page.front() != QLatin1String("merge") ? 2 : 1) << qPrintable(files.join(' '));
        for (const QString& file : files) {
            EXPECT_LE(file.toUtf8().size(), 255) << qPrintable(file);
            EXPECT_GT(ProbeFile(out.filePath(file)).duration, 0.5) << qPrintable(file);
        }
    }
}
