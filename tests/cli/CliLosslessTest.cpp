// tolvex-cli split --lossless and merge --lossless through the real ffmpeg: a cut of a long
// recording with two sound tracks keeps its tracks and codecs, starts at a key frame with
// its picture showing and its sound in step; three parts join back to back with a chapter
// each, whatever their names hold; files coded differently are refused, the differences
// named.

#include "CliRun.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace tolvex;
using namespace tolvex::test;

namespace {

// The cut's source: a minute at 25 frames a second with a key frame every 2 s and B-frames,
// and two AAC sound tracks. 640x360 keeps making it quick on a busy machine; a copied cut
// does not look at the picture's size.
constexpr const char* kSourceSize = "640x360";

bool MakeRecording(const QString& path, double seconds, const char* size, int rate, int hz, bool twoTracks)
{
    const std::string duration = std::to_string(seconds);
    std::vector<std::string> args{
        "-f",
        "lavfi",
        "-i",
        std::string("testsrc2=size=") + size + ":rate=25:duration=" + duration,
        "-f",
        "lavfi",
        "-i",
        "sine=frequency=" + std::to_string(hz) + ":sample_rate=" + std::to_string(rate) + ":duration=" + duration};
    if (twoTracks) {
        args.insert(args.end(), {"-f", "lavfi", "-i",
                                 "sine=frequency=880:sample_rate=" + std::to_string(rate) + ":duration=" + duration});
    }
    args.insert(args.end(), {"-map", "0", "-map", "1"});
    if (twoTracks)
        args.insert(args.end(), {"-map", "2"});
    args.insert(args.end(),
                {"-c:v", "libx264", "-preset", "ultrafast", "-x264-params", "bframes=2", "-g", "50", "-keyint_min",
                 "50", "-sc_threshold", "0", "-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a", "64k", path.toStdString()});
    return RunFfmpeg(args);
}

// ffprobe's answer for `entries` as CSV lines without section names.
QStringList Probe(const QString& path, const QStringList& select)
{
    QByteArray out;
    RunProgram(QStringLiteral("ffprobe"),
               QStringList{QStringLiteral("-v"), QStringLiteral("error")} + select +
                   QStringList{QStringLiteral("-of"), QStringLiteral("csv=p=0"), path},
               &out);
    return QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList Entries(const QString& path, const char* entries, const char* streams = nullptr)
{
    QStringList select{QStringLiteral("-show_entries"), QString::fromLatin1(entries)};
    if (streams)
        select << QStringLiteral("-select_streams") << QString::fromLatin1(streams);
    return Probe(path, select);
}

double StartOf(const QString& path, const char* stream)
{
    const QStringList lines = Entries(path, "stream=start_time", stream);
    return lines.isEmpty() ? NAN : lines.front().toDouble();
}

double DurationOf(const QString& path)
{
    const QStringList lines = Entries(path, "format=duration");
    return lines.isEmpty() ? NAN : lines.front().toDouble();
}

// The mean brightness (0-255) of the first picture of `path`.
double FirstPictureBrightness(const QString& path)
{
    QTemporaryDir folder;
    const QString gray = folder.filePath(QStringLiteral("first.gray"));
    if (!RunFfmpeg({"-i", path.toStdString(), "-frames:v", "1", "-vf", "scale=32:18", "-f", "rawvideo", "-pix_fmt",
                    "gray", gray.toStdString()}))
        return -1.0;
    QFile file(gray);
    if (!file.open(QIODevice::ReadOnly))
        return -1.0;
    const QByteArray pixels = file.readAll();
    double sum = 0.0;
    for (const char p : pixels)
        sum += static_cast<unsigned char>(p);
    return pixels.isEmpty() ? -1.0 : sum / static_cast<double>(pixels.size());
}

}  // namespace

TEST(CliLossless, ACutCopiesEveryTrackFromTheKeyFrameWithPictureAndSoundTogether)
{
    QTemporaryDir media;
    QTemporaryDir out;
    const QString source = media.filePath(QStringLiteral("recording.mp4"));
    ASSERT_TRUE(MakeRecording(source, 60.0, kSourceSize, 48000, 440, true));

    // A crop needs the picture encoded again.
    const CliResult both = RunCli({"split", "--start", "0:0:10", "--end", "0:0:40", "--lossless", "--crop",
                                   "320:180:0:0", "--output-dir", out.path(), source});
    EXPECT_NE(both.exitCode, 0);
    EXPECT_TRUE(both.err.contains(QStringLiteral("cannot crop"))) << qPrintable(both.err);

    // A start between key frames starts at the one before it.
    const CliResult printed = RunCli({"split", "--start", "0:0:11", "--end", "0:0:40", "--lossless", "--print-command",
                                      "--output-dir", out.path(), source});
    ASSERT_EQ(printed.exitCode, 0) << qPrintable(printed.err);
    EXPECT_TRUE(printed.out.contains(QStringLiteral(" -ss 10.000000 -to 0:0:40 -i ")) &&
                printed.out.contains(QStringLiteral(" -c copy ")) &&
                printed.out.contains(QStringLiteral(" -avoid_negative_ts make_zero ")) &&
                !printed.out.contains(QStringLiteral(" -r ")))
        << qPrintable(printed.out);

    const CliResult r =
        RunCli({"split", "--start", "0:0:10", "--end", "0:0:40", "--lossless", "--output-dir", out.path(), source});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
    const QString cut = SingleFileIn(out.path());
    ASSERT_FALSE(cut.isEmpty());

    // The source's tracks and codecs, untouched.
    EXPECT_EQ(Entries(cut, "stream=codec_type,codec_name,profile,width,height"),
              Entries(source, "stream=codec_type,codec_name,profile,width,height"));
    const double duration = DurationOf(cut);
    EXPECT_GE(duration, 30.0);
    EXPECT_LE(duration, 32.0);
    EXPECT_GT(FirstPictureBrightness(cut), 40.0) << "the first picture is black";
    // Each sound track starts within a frame (1/25 s) of the picture.
    const double picture = StartOf(cut, "v:0");
    for (const char* sound : {"a:0", "a:1"})
        EXPECT_NEAR(StartOf(cut, sound), picture, 0.04) << sound;
}

TEST(CliLossless, PartsJoinBackToBackWithAChapterEachWhateverTheirNames)
{
    QTemporaryDir media;
    QTemporaryDir out;
    // Quotes, a dollar, blanks, Chinese and a leading dash: the list must carry them all.
    const QStringList names{QStringLiteral("it's $HOME part.mp4"), QStringLiteral("第二部分.mp4"),
                            QStringLiteral("-part 3.mp4")};
    QStringList parts;
    for (const QString& name : names) {
        parts << media.filePath(name);
        ASSERT_TRUE(MakeRecording(parts.back(), 2.0, "320x240", 48000, 440, false)) << qPrintable(name);
    }
    const CliResult r = RunCli(QStringList{"merge", "--lossless", "--output-dir", out.path()} + parts);
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
    const QString joined = SingleFileIn(out.path());
    ASSERT_FALSE(joined.isEmpty());

    double sum = 0.0;
    qsizetype soundPackets = 0;
    for (const QString& part : parts) {
        sum += DurationOf(part);
        soundPackets += Entries(part, "packet=pts_time", "a:0").size();
    }
    EXPECT_NEAR(DurationOf(joined), sum, 0.1);
    const QStringList packets = Entries(joined, "packet=pts_time,duration_time", "a:0");
    EXPECT_EQ(packets.size(), soundPackets);
    // No gap at the joins: every sound packet starts where the one before it ends.
    for (qsizetype i = 1; i < packets.size(); ++i) {
        const QStringList before = packets[i - 1].split(QLatin1Char(','));
        const double end = before.value(0).toDouble() + before.value(1).toDouble();
        EXPECT_LE(packets[i].section(QLatin1Char(','), 0, 0).toDouble() - end, 0.001) << "after packet " << i - 1;
    }
    EXPECT_EQ(Entries(joined, "chapter_tags=title"),
              (QStringList{QStringLiteral("it's $HOME part"), QStringLiteral("第二部分"), QStringLiteral("-part 3")}));
    // The list and the chapters were the job's: nothing of them is left.
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).size(), 1);
}

TEST(CliLossless, FilesCodedDifferentlyAreRefusedWithTheDifferencesNamed)
{
    QTemporaryDir media;
    QTemporaryDir out;
    const QString first = media.filePath(QStringLiteral("hd.mp4"));
    const QString second = media.filePath(QStringLiteral("sd.mp4"));
    ASSERT_TRUE(MakeRecording(first, 1.0, "1280x720", 48000, 440, false));
    ASSERT_TRUE(MakeRecording(second, 1.0, "640x480", 44100, 440, false));
    const CliResult r = RunCli({"merge", "--lossless", "--output-dir", out.path(), first, second});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("file 2: frame size 640x480 ≠ 1280x720; sound 44100Hz ≠ 48000Hz")))
        << qPrintable(r.err);
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files).isEmpty()) << "nothing ran";
}
