// Every page sub-command of tolvex-cli, end to end with the real ffmpeg: each produces the
// file it should, prints progress and a summary, and exits 0 only when every job completed.

#include "CliRun.h"
#include "media/EncoderSupport.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTime>

#include <gtest/gtest.h>

#include <cmath>

using namespace tolvex;
using namespace tolvex::test;

namespace {

class CliPagesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_media = new QTemporaryDir;
        ASSERT_TRUE(MakeClip(media("in.mp4"), Clip(640, 360, 2.0)));
        ASSERT_TRUE(MakeClip(media("three.mp4"), Clip(320, 240, 3.0)));
        ASSERT_TRUE(MakeClip(media("small.mp4"), Clip(320, 240, 1.0)));
        ASSERT_TRUE(MakeClip(media("quiet video.mp4"), Clip(320, 240, 2.0, Sound::Silence)));
        ASSERT_TRUE(MakeTone(media("music.mp3"), 0.5, 1000));
        ClipShape big = Clip(640, 360, 4.0);
        big.videoBitRate = QStringLiteral("4M");
        ASSERT_TRUE(MakeClip(media("big.mp4"), big));
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }
    static QString media(const QString& name) { return s_media->filePath(name); }

    // Runs a page command into the test's own output folder; expects success.
    QString runOne(QStringList args, const QString& filter = QStringLiteral("*"))
    {
        args << QStringLiteral("--output-dir") << m_out.path();
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err);
        EXPECT_TRUE(r.out.contains(QStringLiteral("1 of 1 jobs completed, 0 failed"))) << qPrintable(r.out);
        return SingleFileIn(m_out.path(), filter);
    }

    static QTemporaryDir* s_media;
    QTemporaryDir m_out;
};

QTemporaryDir* CliPagesTest::s_media = nullptr;

}  // namespace

TEST_F(CliPagesTest, PrintCommandWritesOneLinePerJobAndRunsNothing)
{
    // Relative inputs are made absolute.
    const CliResult r = RunCli(
        {QStringLiteral("convert"), QStringLiteral("--print-command"), QStringLiteral("--format"),
         QStringLiteral("mkv"), QStringLiteral("--size"), QStringLiteral("1280x720"), QStringLiteral("--output-dir"),
         m_out.path(), QStringLiteral("in.mp4"), QStringLiteral("quiet video.mp4")},
        s_media->path());
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << qPrintable(r.out);
    const QString pattern =
        QStringLiteral("^\"[^\"]*ffmpeg\" -y -i \"%1\" -s 1280\\*720  -strict -2 \"%2/%3-\\d{6}\\.mkv\"$");
    EXPECT_TRUE(QRegularExpression(pattern.arg(QRegularExpression::escape(media("in.mp4")),
                                               QRegularExpression::escape(m_out.path()), QStringLiteral("in")))
                    .match(lines[0])
                    .hasMatch())
        << qPrintable(lines[0]);
    EXPECT_TRUE(lines[1].contains(QStringLiteral("\"") + media("quiet video.mp4") + QStringLiteral("\"")));
    EXPECT_TRUE(QDir(m_out.path()).entryList(QDir::Files).isEmpty());

    // Every page prints its described command.
    const CliResult merge = RunCli({QStringLiteral("merge"), QStringLiteral("--print-command"),
                                    QStringLiteral("--output-dir"), m_out.path(), media("in.mp4"), media("small.mp4")});
    EXPECT_EQ(merge.exitCode, 0);
    EXPECT_TRUE(merge.out.contains(QStringLiteral("[1:v]scale=320:240,pad=640:360:160:60[v1];")))
        << qPrintable(merge.out);
    const CliResult music = RunCli({QStringLiteral("music"), QStringLiteral("--print-command"),
                                    QStringLiteral("--music"), media("music.mp3"), QStringLiteral("--replace"),
                                    QStringLiteral("--music-volume"), QStringLiteral("-3"), media("in.mp4")});
    EXPECT_TRUE(music.out.contains(QStringLiteral("volume=0[a0],[1:a]volume=-3dB[a1]"))) << qPrintable(music.out);
}

TEST_F(CliPagesTest, BadCommandLinesAreRefusedWithAMessage)
{
    const QString in = media("in.mp4");
    const QList<QStringList> bad = {
        {QStringLiteral("convert"), QStringLiteral("--bogus"), in},
        {QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("xyz"), in},
        {QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("avi"), QStringLiteral("--vb"),
         QStringLiteral("12.0Mbps"), in},
        {QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("3gp"), QStringLiteral("--size"),
         QStringLiteral("auto"), in},
        {QStringLiteral("convert"), media("missing.mp4")},
        {QStringLiteral("compress"), QStringLiteral("--strength"), QStringLiteral("101"), in},
        {QStringLiteral("rotate"), QStringLiteral("--rotate"), QStringLiteral("8"), in},
        {QStringLiteral("extract"), in},
        {QStringLiteral("extract"), QStringLiteral("--format"), QStringLiteral("mp4"), in},
        {QStringLiteral("mute"), in},
        {QStringLiteral("mute"), QStringLiteral("--mute"), QStringLiteral("--volume"), QStringLiteral("3"), in},
        {QStringLiteral("music"), in},
        {QStringLiteral("split"), QStringLiteral("--start"), QStringLiteral("0:0:2"), QStringLiteral("--end"),
         QStringLiteral("0:0:1"), in},
        {QStringLiteral("split"), QStringLiteral("--start"), QStringLiteral("0:0:0"), QStringLiteral("--end"),
         QStringLiteral("0:0:1"), QStringLiteral("--crop"), QStringLiteral("700:10:0:0"), in},
        {QStringLiteral("gif"), QStringLiteral("--start"), QStringLiteral("0:0:0"), QStringLiteral("--end"),
         QStringLiteral("0:1:0"), in},
        {QStringLiteral("merge"), in},
        {QStringLiteral("convert")},
    };
    for (const QStringList& args : bad) {
        const CliResult r = RunCli(args + QStringList{QStringLiteral("--output-dir"), m_out.path()});
        EXPECT_NE(r.exitCode, 0) << qPrintable(args.join(' '));
        EXPECT_TRUE(r.out.isEmpty()) << qPrintable(args.join(' '));
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("tolvex-cli ")) || r.err.contains(QStringLiteral("usage")))
            << qPrintable(args.join(' ')) << qPrintable(r.err);
    }
    EXPECT_TRUE(QDir(m_out.path()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(RunCli({QStringLiteral("convert"), QStringLiteral("--help")}).exitCode, 0);
}

TEST_F(CliPagesTest, ConvertSizeAndRotateFilters)
{
    const CliResult r = RunCli({QStringLiteral("convert"), QStringLiteral("--size"), QStringLiteral("1280x720"),
                                QStringLiteral("--output-dir"), m_out.path(), media("in.mp4")});
    EXPECT_EQ(r.exitCode, 0);
    // Progress lines per item, then the summary.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("convert 0 in.mp4: \\d+%")).match(r.out).hasMatch())
        << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains(QStringLiteral("convert 0 in.mp4: done")));
    const ProbedFile converted = ProbeFile(SingleFileIn(m_out.path()));
    EXPECT_EQ(converted.width, 1280);
    EXPECT_EQ(converted.height, 720);

    QTemporaryDir rotated;
    QTemporaryDir mirrored;
    EXPECT_EQ(RunCli({QStringLiteral("rotate"), QStringLiteral("--rotate"), QStringLiteral("0"),
                      QStringLiteral("--output-dir"), rotated.path(), media("in.mp4")})
                  .exitCode,
              0);
    EXPECT_EQ(RunCli({QStringLiteral("rotate"), QStringLiteral("--rotate"), QStringLiteral("6"),
                      QStringLiteral("--output-dir"), mirrored.path(), media("in.mp4")})
                  .exitCode,
              0);
    const ProbedFile turned = ProbeFile(SingleFileIn(rotated.path()));
    EXPECT_EQ(turned.width, 360);
    EXPECT_EQ(turned.height, 640);
    EXPECT_EQ(ProbeFile(SingleFileIn(mirrored.path())).width, 640);
}

TEST_F(CliPagesTest, SplitCutsTheRangeAndCropsAndGifIsAGif)
{
    const ProbedFile cut = ProbeFile(runOne(
        {QStringLiteral("split"), QStringLiteral("--start"), QStringLiteral("0:0:1"), QStringLiteral("--end"),
         QStringLiteral("0:0:2"), QStringLiteral("--crop"), QStringLiteral("160:120:10:20"), media("three.mp4")}));
    EXPECT_EQ(cut.width, 160);
    EXPECT_EQ(cut.height, 120);
    EXPECT_NEAR(cut.duration, 1.0, 0.25);

    QTemporaryDir gifOut;
    const CliResult r =
        RunCli({QStringLiteral("gif"), QStringLiteral("--start"), QStringLiteral("0:0:0"), QStringLiteral("--end"),
                QStringLiteral("0:0:1"), QStringLiteral("--output-dir"), gifOut.path(), media("small.mp4")});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QString gif = SingleFileIn(gifOut.path());
    EXPECT_TRUE(gif.endsWith(QStringLiteral(".gif")));
    const ProbedFile g = ProbeFile(gif);
    EXPECT_EQ(g.videoCodec, QStringLiteral("gif"));
    EXPECT_FALSE(g.hasAudio);
}

TEST_F(CliPagesTest, ExtractWritesEveryOfferedAudioFormatWithoutVideo)
{
    for (const std::string& format : ExtractAudioFormats()) {
        QTemporaryDir folder;
        const CliResult r =
            RunCli({QStringLiteral("extract"), QStringLiteral("--format"), QString::fromStdString(format),
                    QStringLiteral("--output-dir"), folder.path(), media("in.mp4")});
        ASSERT_EQ(r.exitCode, 0) << format << qPrintable(r.out);
        const QString file = SingleFileIn(folder.path());
        EXPECT_TRUE(file.endsWith(QString::fromStdString("." + format))) << format;
        const ProbedFile audio = ProbeFile(file);
        EXPECT_TRUE(audio.hasAudio) << format;
        EXPECT_FALSE(audio.hasVideo) << format;
        EXPECT_NEAR(audio.duration, 2.0, 0.3) << format;
    }
}

TEST_F(CliPagesTest, MuteSilencesAndVolumeMakesLouder)
{
    const double original = MeanVolumeDb(media("in.mp4"));
    ASSERT_FALSE(std::isnan(original));
    const double muted = MeanVolumeDb(runOne({QStringLiteral("mute"), QStringLiteral("--mute"), media("in.mp4")}));
    EXPECT_LE(muted, -90.0);

    QTemporaryDir louderOut;
    ASSERT_EQ(RunCli({QStringLiteral("mute"), QStringLiteral("--volume"), QStringLiteral("6"),
                      QStringLiteral("--output-dir"), louderOut.path(), media("in.mp4")})
                  .exitCode,
              0);
    const double louder = MeanVolumeDb(SingleFileIn(louderOut.path()));
    EXPECT_NEAR(louder - original, 6.0, 1.5);
}

TEST_F(CliPagesTest, MusicAddsTheSecondInputsSound)
{
    ASSERT_LE(MeanVolumeDb(media("quiet video.mp4")), -90.0);
    const QString mixed = runOne({QStringLiteral("music"), QStringLiteral("--music"), media("music.mp3"),
                                  QStringLiteral("--loop"), media("quiet video.mp4")});
    EXPECT_GT(MeanVolumeDb(mixed), -40.0);
    const ProbedFile m = ProbeFile(mixed);
    EXPECT_NEAR(m.duration, 2.0, 0.3);
    EXPECT_TRUE(m.hasVideo);
}

TEST_F(CliPagesTest, MergeLastsTheSumAndHasTheTargetFrame)
{
    const ProbedFile automatic = ProbeFile(runOne({QStringLiteral("merge"), media("in.mp4"), media("small.mp4")}));
    EXPECT_NEAR(automatic.duration, 3.0, 0.3);
    EXPECT_EQ(automatic.width, 640);
    EXPECT_EQ(automatic.height, 360);

    QTemporaryDir explicitOut;
    const CliResult r = RunCli({QStringLiteral("merge"), QStringLiteral("--format"), QStringLiteral("mkv"),
                                QStringLiteral("--size"), QStringLiteral("1280x720"), QStringLiteral("--output-dir"),
                                explicitOut.path(), media("small.mp4"), media("in.mp4"), media("small.mp4")});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out);
    const QString file = SingleFileIn(explicitOut.path());
    EXPECT_TRUE(QFileInfo(file).fileName().startsWith(QStringLiteral("视频合并-")));
    const ProbedFile framed = ProbeFile(file);
    EXPECT_NEAR(framed.duration, 4.0, 0.3);
    EXPECT_EQ(framed.width, 1280);
    EXPECT_EQ(framed.height, 720);
}

TEST_F(CliPagesTest, CompressLandsNearItsTargetAndFailsWithoutADuration)
{
    const qint64 inputSize = QFileInfo(media("big.mp4")).size();
    const QString small =
        runOne({QStringLiteral("compress"), QStringLiteral("--strength"), QStringLiteral("60"), media("big.mp4")});
    const double target = inputSize * 0.4;
    EXPECT_NEAR(static_cast<double>(QFileInfo(small).size()), target, target * 0.3);
    EXPECT_TRUE(small.endsWith(QStringLiteral(".mp4")));

    const QString junk = m_out.filePath(QStringLiteral("junk.mp4"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a video at all");
    file.close();
    QTemporaryDir failedOut;
    const CliResult r = RunCli({QStringLiteral("compress"), QStringLiteral("--output-dir"), failedOut.path(), junk});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("junk.mp4: failed: "))) << qPrintable(r.out);
    EXPECT_TRUE(r.out.contains(QStringLiteral("0 of 1 jobs completed, 1 failed")));
    EXPECT_TRUE(QDir(failedOut.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(CliPagesTest, CompressResultMeasuresTheFileItReallyWrote)
{
    // Every stamped name of the next half minute is taken, so the job writes under "-1" and its
    // done line must measure that file, not the one that held the name.
    const QByteArray taken("taken!!");
    const QTime now = QTime::currentTime();
    for (int s = -2; s <= 30; ++s) {
        QFile file(
            m_out.filePath(QStringLiteral("three-%1.mp4").arg(now.addSecs(s).toString(QStringLiteral("HHmmss")))));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(taken);
    }
    const CliResult r = RunCli({QStringLiteral("compress"), QStringLiteral("--strength"), QStringLiteral("30"),
                                QStringLiteral("--output-dir"), m_out.path(), media("three.mp4")});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err);
    const QRegularExpression done(QStringLiteral(": done -> (.+-1\\.mp4), .* \\((\\d+) bytes\\) of the promised"));
    const QRegularExpressionMatch match = done.match(r.out);
    ASSERT_TRUE(match.hasMatch()) << qPrintable(r.out);
    const qint64 written = QFileInfo(match.captured(1)).size();
    EXPECT_GT(written, taken.size());
    EXPECT_EQ(match.captured(2).toLongLong(), written);
}
