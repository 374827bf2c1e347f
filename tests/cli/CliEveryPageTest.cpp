// Every page of tolvex-cli on the kinds of files people have: HEVC 10-bit with two sound
// tracks and subtitles, a variable frame rate, an odd frame size, a phone video carrying a
// display matrix, interlaced MPEG-2 in MPEG-TS, 4:2:2 ProRes with PCM sound, VP9/Opus,
// WMV, and a video without sound. Each job must exit 0 and leave a file ffprobe reads with
// the streams and the length the page promises.

#include "CliRun.h"
#include "tests/media/TestMux.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <map>
#include <string>

using namespace tolvex;
using namespace tolvex::test;

namespace {

struct Input {
    const char* name;
    bool hasSound;
    int uprightWidth;  // as ffmpeg shows it
    int uprightHeight;
};

const Input kInputs[] = {
    {"hevc10.mkv", true, 320, 240},   {"vfr.mp4", true, 320, 240},       {"odd.mp4", true, 321, 241},
    {"phone.mp4", true, 180, 320},    {"interlaced.ts", true, 352, 288}, {"prores422.mov", true, 320, 240},
    {"vp9opus.webm", true, 320, 240}, {"wmv.wmv", true, 320, 240},       {"silent.mp4", false, 320, 240},
};

const char* const kPages[] = {"convert", "compress", "rotate", "extract", "mute",
                              "volume",  "music",    "split",  "gif",     "merge"};

bool Make(const QString& path, std::vector<std::string> args)
{
    args.push_back(path.toStdString());
    return RunFfmpeg(args);
}

class EveryPage : public ::testing::TestWithParam<std::tuple<int, int>> {
protected:
    static void SetUpTestSuite()
    {
        s_media = new QTemporaryDir;
        const auto m = [](const char* name) { return s_media->filePath(QString::fromLatin1(name)); };
        const std::vector<std::string> video = {"-f", "lavfi", "-i", "testsrc2=s=320x240:r=25:d=1.5"};
        const std::vector<std::string> tone = {"-f", "lavfi", "-i", "sine=f=440:r=44100:d=1.5"};
        const auto with = [](std::vector<std::string> a, const std::vector<std::string>& b) {
            a.insert(a.end(), b.begin(), b.end());
            return a;
        };

        QFile subtitles(m("subs.srt"));
        ASSERT_TRUE(subtitles.open(QIODevice::WriteOnly));
        subtitles.write("1\n00:00:00,000 --> 00:00:00,900\nhello\n");
        subtitles.close();
        ASSERT_TRUE(Make(m("hevc10.mkv"), with(with(with(video, tone), {"-f", "lavfi", "-i", "sine=f=880:r=48000:d=1.5",
                                                                        "-i", m("subs.srt").toStdString()}),
                                               {"-map", "0:v", "-map", "1:a", "-map", "2:a", "-map", "3:s", "-c:v",
                                                "libx265", "-pix_fmt", "yuv420p10le", "-x265-params", "log-level=error",
                                                "-c:a", "aac", "-c:s", "srt"})));
        ASSERT_TRUE(Make(m("vfr.mp4"), with(with({"-f", "lavfi", "-i", "testsrc2=s=320x240:r=30:d=1.5"}, tone),
                                            {"-vf", "select='not(mod(n\\,3))+eq(mod(n\\,7)\\,1)'", "-vsync", "vfr",
                                             "-c:v", "libx264", "-c:a", "aac"})));
        // testsrc2 makes even sizes only; the scaler makes the odd one (4:4:4 holds odd sides).
        ASSERT_TRUE(Make(m("odd.mp4"), with(with(video, tone), {"-vf", "scale=321:241", "-c:v", "libx264", "-pix_fmt",
                                                                "yuv444p", "-c:a", "aac"})));
        ASSERT_TRUE(Make(m("stored.mp4"), with(with({"-f", "lavfi", "-i", "testsrc2=s=320x180:r=25:d=1.5"}, tone),
                                               {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"})));
        // A phone held upright: stored wide, shown after a quarter turn clockwise.
        ASSERT_TRUE(MuxStreams(m("phone.mp4").toStdString(),
                               {{m("stored.mp4").toStdString(), 0}, {m("stored.mp4").toStdString(), 1}},
                               [](int index, AVStream* s) {
                                   if (index == 0)
                                       AddDisplayMatrix(s, -90);
                               }));
        ASSERT_TRUE(Make(m("interlaced.ts"), with(with({"-f", "lavfi", "-i", "testsrc2=s=352x288:r=25:d=1.5"}, tone),
                                                  {"-vf", "interlace", "-c:v", "mpeg2video", "-flags", "+ilme+ildct",
                                                   "-c:a", "mp2", "-f", "mpegts"})));
        ASSERT_TRUE(
            Make(m("prores422.mov"), with(with(video, tone), {"-c:v", "prores_ks", "-profile:v", "2", "-pix_fmt",
                                                              "yuv422p10le", "-c:a", "pcm_s16le"})));
        ASSERT_TRUE(Make(m("vp9opus.webm"),
                         with(with(video, {"-f", "lavfi", "-i", "sine=f=440:r=48000:d=1.5"}),
                              {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-c:a", "libopus"})));
        ASSERT_TRUE(Make(m("wmv.wmv"), with(with(video, tone), {"-c:v", "wmv2", "-c:a", "wmav2"})));
        ASSERT_TRUE(Make(m("silent.mp4"), with(video, {"-c:v", "libx264", "-pix_fmt", "yuv420p"})));
        ASSERT_TRUE(Make(m("partner.mp4"), with(with(video, tone), {"-c:v", "libx264", "-pix_fmt", "yuv420p"})));
        ASSERT_TRUE(MakeTone(m("music.mp3"), 0.4, 1000));
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }
    static QTemporaryDir* s_media;
};

QTemporaryDir* EveryPage::s_media = nullptr;

}  // namespace

TEST_P(EveryPage, GivesAFileWithWhatThePagePromises)
{
    const Input& input = kInputs[std::get<0>(GetParam())];
    const std::string page = kPages[std::get<1>(GetParam())];
    const QString file = s_media->filePath(QString::fromLatin1(input.name));
    QTemporaryDir out;

    QStringList args;
    if (page == "volume")
        args << "mute"
             << "--volume"
             << "6";
    else if (page == "mute")
        args << "mute"
             << "--mute";
    else if (page == "music")
        args << "music"
             << "--music" << s_media->filePath("music.mp3") << "--loop";
    else if (page == "extract")
        args << "extract"
             << "--format"
             << "mp3";
    else if (page == "rotate")
        args << "rotate"
             << "--rotate"
             << "0";
    else if (page == "split")
        args << "split"
             << "--start"
             << "0:0:0"
             << "--end"
             << "0:0:1";
    else if (page == "gif")
        args << "gif"
             << "--start"
             << "0:0:0"
             << "--end"
             << "0:0:1";
    else
        args << QString::fromStdString(page);
    args << "--output-dir" << out.path() << file;
    if (page == "merge")
        args << s_media->filePath("partner.mp4");

    const CliResult r = RunCli(args);
    if (page == "extract" && !input.hasSound) {
        // Nothing to extract: the job fails and says so.
        EXPECT_NE(r.exitCode, 0);
        return;
    }
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(3000));
    const QStringList files = QDir(out.path()).entryList(QDir::Files);
    // The file with two sound tracks gives one extracted file per track.
    const bool twoTracks = page == "extract" && std::string(input.name) == "hevc10.mkv";
    ASSERT_EQ(files.size(), twoTracks ? 2 : 1) << qPrintable(files.join(' '));
    const ProbedFile probed = ProbeFile(out.filePath(files.front()));
    ASSERT_TRUE(probed.ok) << qPrintable(files.front());

    const bool audioOnly = page == "extract";
    EXPECT_EQ(probed.hasVideo, !audioOnly);
    bool sound = input.hasSound;
    if (page == "music" || page == "merge")
        sound = true;  // the music becomes a silent video's sound; a merge keeps the partner's
    if (page == "gif")
        sound = false;
    EXPECT_EQ(probed.hasAudio, sound);

    // The inputs last 1.5 s; split and gif take the first second; merge adds the partner.
    const double expected = page == "merge" ? 3.0 : (page == "split" || page == "gif") ? 1.0 : 1.5;
    EXPECT_NEAR(probed.duration, expected, 0.35) << qPrintable(files.front());

    if (!audioOnly && page != "merge" && page != "gif" && page != "compress") {
        // The picture ffmpeg writes is the upright one; rotate turns it a quarter.
        const bool turned = page == "rotate";
        EXPECT_EQ(probed.width, turned ? input.uprightHeight : input.uprightWidth);
        EXPECT_EQ(probed.height, turned ? input.uprightWidth : input.uprightHeight);
    }
}

INSTANTIATE_TEST_SUITE_P(FilesPeopleHave, EveryPage,
                         ::testing::Combine(::testing::Range(0, static_cast<int>(std::size(kInputs))),
                                            ::testing::Range(0, static_cast<int>(std::size(kPages)))),
                         [](const auto& info) {
                             std::string name = kInputs[std::get<0>(info.param)].name;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return name + "_" + kPages[std::get<1>(info.param)];
                         });

TEST(CliSplitCrop, TheRectangleIsInTheUprightPicture)
{
    // Stored on its side, shown upright as 240x320: "--crop 120:160:120:0" is the upright
    // picture's top right quarter, the green one.
    QTemporaryDir media;
    QTemporaryDir out;
    const QString phone = media.filePath(QStringLiteral("phone.mp4"));
    ASSERT_TRUE(MakeQuadrantPhoneVideo(phone.toStdString(), 270, media.path().toStdString()));
    const CliResult r = RunCli(
        {"split", "--start", "0:0:0", "--end", "0:0:1", "--crop", "120:160:120:0", "--output-dir", out.path(), phone});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.out) << qPrintable(r.err.right(2000));
    const QString file = SingleFileIn(out.path());
    const ProbedFile probed = ProbeFile(file);
    EXPECT_EQ(probed.width, 120);
    EXPECT_EQ(probed.height, 160);
    const unsigned colour = PictureColourAt(file, 0.5, 0.5);
    EXPECT_LT((colour >> 16) & 0xFF, 70U);  // red
    EXPECT_GT((colour >> 8) & 0xFF, 90U);   // green
    EXPECT_LT(colour & 0xFF, 70U);          // blue
    // Outside the upright frame is refused, even where the stored frame would hold it.
    EXPECT_NE(RunCli({"split", "--start", "0:0:0", "--end", "0:0:1", "--crop", "300:100:0:0", "--output-dir",
                      out.path(), phone})
                  .exitCode,
              0);
}
