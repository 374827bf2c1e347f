// The media probe on files made at test time: ffmpeg for plain media, the libav* API for
// what the command line cannot make (a "rotate" tag, a display matrix, two video streams).

#include "media/MediaProbe.h"
#include "tests/media/TestMux.h"
#include "tests/support/FileOpenWatch.h"
#include "tests/support/TestMedia.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

extern "C" {
#include <libavformat/avformat.h>
}

#include <sys/stat.h>

#include <chrono>
#include <thread>

namespace tolvex {
namespace {

class MediaProbeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        ASSERT_TRUE(test::MakeVideo(path("video.mp4"), 2.0, 160, 120));
        ASSERT_TRUE(test::MakeVideo(path("large.mp4"), 1.0, 320, 240, false));
        ASSERT_TRUE(test::MakeAudio(path("audio.m4a"), 1.5));
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    static std::string path(const std::string& name)
    {
        return s_dir->filePath(QString::fromStdString(name)).toStdString();
    }
    static QTemporaryDir* s_dir;
};

QTemporaryDir* MediaProbeTest::s_dir = nullptr;

TEST_F(MediaProbeTest, VideoWithSound)
{
    MediaInfo info(path("video.mp4"));
    ASSERT_EQ(ProbeMediaInfo(info), 0);
    EXPECT_EQ(info.width, 160);
    EXPECT_EQ(info.height, 120);
    EXPECT_EQ(info.videoStreamIndex, 0);
    EXPECT_EQ(info.audioStreamIndex, 1);
    EXPECT_EQ(info.audioSampleFormat, AV_SAMPLE_FMT_FLTP);
    EXPECT_GT(info.videoBitRate, 0);
    EXPECT_GT(info.audioBitRate, 0);
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.durationSeconds, 2);
    EXPECT_EQ(info.frameRate, 25);
    EXPECT_EQ(info.hasRotateTag, 0);
    EXPECT_NEAR(ProbeDurationSeconds(path("video.mp4")), 2.0, 0.001);
}

TEST_F(MediaProbeTest, AudioOnlyLeavesTheVideoFieldsAlone)
{
    MediaInfo info(path("audio.m4a"));
    ASSERT_EQ(ProbeMediaInfo(info), 0);
    EXPECT_EQ(info.width, -1);
    EXPECT_EQ(info.height, -1);
    EXPECT_EQ(info.videoStreamIndex, -1);
    EXPECT_EQ(info.frameRate, -1);
    EXPECT_EQ(info.durationSeconds, -1);
    EXPECT_EQ(info.audioStreamIndex, 0);
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_NEAR(ProbeDurationSeconds(path("audio.m4a")), 1.5, 0.05) << "the audio stream's duration";
}

TEST_F(MediaProbeTest, MissingOrBrokenFiles)
{
    MediaInfo missing(path("missing.mp4"));
    EXPECT_EQ(ProbeMediaInfo(missing), -1);
    EXPECT_EQ(missing.width, -1);
    EXPECT_EQ(missing.audioStreamIndex, -1);
    EXPECT_EQ(missing.durationSeconds, -1);
    EXPECT_EQ(ProbeDurationSeconds(path("missing.mp4")), 0.0);

    QFile garbage(QString::fromStdString(path("garbage.mp4")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, '\x07'));
    garbage.close();
    MediaInfo broken(path("garbage.mp4"));
    EXPECT_EQ(ProbeMediaInfo(broken), -1);
    EXPECT_EQ(ProbeDurationSeconds(path("garbage.mp4")), 0.0);
}

TEST_F(MediaProbeTest, SubtitleOnlyFileHasNoDuration)
{
    QFile srt(QString::fromStdString(path("text.srt")));
    ASSERT_TRUE(srt.open(QIODevice::WriteOnly));
    srt.write("1\n00:00:00,000 --> 00:00:01,000\nhello\n\n");
    srt.close();
    ASSERT_TRUE(test::RunFfmpeg({"-i", path("text.srt"), path("subtitle.mkv")}));
    EXPECT_EQ(ProbeDurationSeconds(path("subtitle.mkv")), -1.0);
    MediaInfo info(path("subtitle.mkv"));
    EXPECT_EQ(ProbeMediaInfo(info), 0);
    EXPECT_EQ(info.videoStreamIndex, -1);
    EXPECT_EQ(info.audioStreamIndex, -1);
}

TEST_F(MediaProbeTest, LastVideoStreamWins)
{
    ASSERT_TRUE(test::MuxStreams(path("two-videos.nut"), {{path("video.mp4"), 0}, {path("large.mp4"), 0}},
                                 [](int, AVStream*) {}));
    MediaInfo info(path("two-videos.nut"));
    ASSERT_EQ(ProbeMediaInfo(info), 0);
    EXPECT_EQ(info.videoStreamIndex, 1);
    EXPECT_EQ(info.width, 320);
    EXPECT_EQ(info.height, 240);
    EXPECT_EQ(info.durationSeconds, 1);
}

TEST_F(MediaProbeTest, RotateTagOfAnyValueMarksTheFile)
{
    for (const char* value : {"90", "0"}) {
        const std::string file = path(std::string("rotate-") + value + ".nut");
        ASSERT_TRUE(test::MuxStreams(file, {{path("video.mp4"), 0}},
                                     [value](int, AVStream* s) { av_dict_set(&s->metadata, "rotate", value, 0); }));
        MediaInfo info(file);
        ASSERT_EQ(ProbeMediaInfo(info), 0);
        EXPECT_EQ(info.hasRotateTag, 1) << value;
        EXPECT_EQ(info.width, 160) << "the stored size, not swapped";
        EXPECT_EQ(info.height, 120);
    }
    // Keys are compared whole and case-sensitively.
    ASSERT_TRUE(test::MuxStreams(path("rotated-other.nut"), {{path("video.mp4"), 0}},
                                 [](int, AVStream* s) { av_dict_set(&s->metadata, "rotated", "90", 0); }));
    MediaInfo other(path("rotated-other.nut"));
    ASSERT_EQ(ProbeMediaInfo(other), 0);
    EXPECT_EQ(other.hasRotateTag, 0);
}

TEST_F(MediaProbeTest, DisplayMatrixWithARotationMarksTheFile)
{
    ASSERT_TRUE(test::MuxStreams(path("phone.mp4"), {{path("video.mp4"), 0}},
                                 [](int, AVStream* s) { test::AddDisplayMatrix(s, 90); }));
    MediaInfo phone(path("phone.mp4"));
    ASSERT_EQ(ProbeMediaInfo(phone), 0);
    EXPECT_EQ(phone.hasRotateTag, 1);
    EXPECT_EQ(phone.width, 160);

    ASSERT_TRUE(test::MuxStreams(path("upright.mp4"), {{path("video.mp4"), 0}},
                                 [](int, AVStream* s) { test::AddDisplayMatrix(s, 0); }));
    MediaInfo upright(path("upright.mp4"));
    ASSERT_EQ(ProbeMediaInfo(upright), 0);
    EXPECT_EQ(upright.hasRotateTag, 0);
}

TEST_F(MediaProbeTest, UprightTurnIsTheOneFfmpegApplies)
{
    // A matrix made for a clockwise turn of d degrees is shown after that turn.
    const std::pair<double, int> cases[] = {{90, 90}, {-90, 270}, {180, 180}, {0, 0}};
    for (const auto& [matrix, turn] : cases) {
        const std::string file = path("turn" + std::to_string(static_cast<int>(matrix)) + ".mp4");
        ASSERT_TRUE(test::MuxStreams(file, {{path("video.mp4"), 0}},
                                     [m = matrix](int, AVStream* s) { test::AddDisplayMatrix(s, m); }));
        MediaInfo info(file);
        ASSERT_EQ(ProbeMediaInfo(info), 0);
        EXPECT_EQ(info.uprightTurn, turn) << matrix;
    }
    // A "rotate" tag alone is not turned by ffmpeg.
    MediaInfo tagged(path("video.mp4"));
    ASSERT_EQ(ProbeMediaInfo(tagged), 0);
    EXPECT_EQ(tagged.uprightTurn, 0);
}

TEST_F(MediaProbeTest, ContainerFormatOfANameWithoutExtension)
{
    ASSERT_TRUE(QFile::copy(QString::fromStdString(path("video.mp4")), QString::fromStdString(path("no-extension"))));
    EXPECT_EQ(ProbeContainerFormat(path("no-extension")).rfind("mov,mp4", 0), 0u);
    EXPECT_EQ(ProbeContainerFormat(path("missing")), "");
}

TEST_F(MediaProbeTest, FifosAreRefusedInsteadOfWaitedFor)
{
    // Opening a fifo blocks until someone writes to it; the probe refuses it at once, as
    // the input itself and as the segment of a playlist.
    const std::string fifo = path("never.ts");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string playlist = path("fifo.m3u8");
    {
        QFile f(QString::fromStdString(playlist));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\nnever.ts\n#EXT-X-ENDLIST\n");
    }
    const auto start = std::chrono::steady_clock::now();
    MediaInfo direct(fifo);
    EXPECT_EQ(ProbeMediaInfo(direct), -1);
    EXPECT_EQ(ProbeDurationSeconds(fifo), 0.0);
    MediaInfo listed(playlist);
    ProbeMediaInfo(listed);
    EXPECT_LE(listed.durationSeconds, 0);
    ProbeDurationSeconds(playlist);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(MediaProbeTest, AnEndlessPlaylistRunsOutOfTimeAndStopsOnAbort)
{
    // A live playlist (no end mark) keeps the demuxer waiting for segments that never come.
    ASSERT_TRUE(test::RunFfmpeg(
        {"-f", "lavfi", "-i", "testsrc2=s=64x48:r=10:d=0.2", "-c:v", "mpeg2video", "-f", "mpegts", path("seg0.ts")}));
    const std::string live = path("live.m3u8");
    {
        QFile f(QString::fromStdString(live));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXT-X-MEDIA-SEQUENCE:0\n#EXTINF:1.0,\nseg0.ts\n");
    }
    bool ranOut = false;
    ProbeLimits limits;
    limits.timeout = std::chrono::milliseconds(600);
    limits.ranOut = &ranOut;
    auto start = std::chrono::steady_clock::now();
    MediaInfo info(live);
    EXPECT_EQ(ProbeMediaInfo(info, limits), -1);
    EXPECT_TRUE(ranOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // The caller's flag and the program's shutdown end a probe long before its deadline.
    std::atomic<bool> abort{false};
    limits = ProbeLimits{};
    limits.timeout = std::chrono::seconds(60);
    limits.abort = &abort;
    start = std::chrono::steady_clock::now();
    // The stop comes once the probe has opened the playlist a second time: it has read what
    // there was and is waiting for the playlist to grow.
    test::FileOpenWatch aborted(QString::fromStdString(live));
    ASSERT_TRUE(aborted.isValid());
    bool reloaded = false;
    std::thread stopper([&] {
        reloaded = aborted.waitForOpens(2, 20000);
        abort = true;
    });
    EXPECT_EQ(ProbeDurationSeconds(live, limits), 0.0);
    stopper.join();
    EXPECT_TRUE(reloaded) << "the probe never came back for the live playlist";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));

    limits.abort = nullptr;
    start = std::chrono::steady_clock::now();
    test::FileOpenWatch stoppedWatch(QString::fromStdString(live));
    ASSERT_TRUE(stoppedWatch.isValid());
    reloaded = false;
    std::thread shutdown([&] {
        reloaded = stoppedWatch.waitForOpens(2, 20000);
        StopAllProbes();
    });
    MediaInfo stopped(live);
    EXPECT_EQ(ProbeMediaInfo(stopped, limits), -1);
    shutdown.join();
    EXPECT_TRUE(reloaded) << "the probe never came back for the live playlist";
    ResumeProbes();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    MediaInfo again(path("video.mp4"));
    EXPECT_EQ(ProbeMediaInfo(again), 0);
}

TEST_F(MediaProbeTest, FrameRateIsTheWholeQuotient)
{
    ASSERT_TRUE(test::RunFfmpeg(
        {"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=30000/1001:duration=1", "-c:v", "mpeg4", path("ntsc.mp4")}));
    MediaInfo info(path("ntsc.mp4"));
    ASSERT_EQ(ProbeMediaInfo(info), 0);
    EXPECT_EQ(info.frameRate, 29);
}

TEST(StreamDuration, ScaledStreamDurationOrTheContainers)
{
    AVFormatContext* container = avformat_alloc_context();
    AVStream* stream = avformat_new_stream(container, nullptr);
    container->duration = 5000000;
    stream->time_base = AVRational{1, 90000};
    stream->duration = 135000;
    EXPECT_EQ(StreamDurationMicroseconds(*container, *stream), 1500000);
    // An unknown stream duration does not scale into 64 bits: the container's is used.
    stream->duration = AV_NOPTS_VALUE;
    EXPECT_EQ(StreamDurationMicroseconds(*container, *stream), 5000000);
    stream->time_base = AVRational{1, 1};
    stream->duration = INT64_MAX / 1000;
    EXPECT_EQ(StreamDurationMicroseconds(*container, *stream), 5000000);
    // A time base finer than a microsecond (raw H.264's 1/1200000) would scale the unknown
    // duration into a huge negative number.
    stream->time_base = AVRational{1, 1200000};
    stream->duration = AV_NOPTS_VALUE;
    EXPECT_EQ(StreamDurationMicroseconds(*container, *stream), 5000000);
    // Neither the stream nor the container knows: unknown, 0.
    container->duration = AV_NOPTS_VALUE;
    EXPECT_EQ(StreamDurationMicroseconds(*container, *stream), 0);
    avformat_free_context(container);
}

TEST_F(MediaProbeTest, ARawStreamWithoutDurationIsZeroSecondsLong)
{
    ASSERT_TRUE(test::RunFfmpeg(
        {"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=25:duration=1", "-c:v", "libx264", path("raw.h264")}));
    EXPECT_EQ(ProbeDurationSeconds(path("raw.h264")), 0.0);
    MediaInfo info(path("raw.h264"));
    ASSERT_EQ(ProbeMediaInfo(info), 0);
    EXPECT_EQ(info.durationSeconds, 0);
    EXPECT_EQ(info.width, 64);
}

TEST_F(MediaProbeTest, ProbesRunSideBySide)
{
    std::vector<std::thread> threads;
    threads.reserve(4);
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 5; ++i) {
                MediaInfo info(path(t % 2 ? "video.mp4" : "audio.m4a"));
                if (ProbeMediaInfo(info) != 0 || info.sampleRate != 44100 || (t % 2 && info.width != 160))
                    ++mismatches;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace tolvex
