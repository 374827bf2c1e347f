// Packet queue, clock, decoder option filtering and the texture's layout: no display, no
// sound device.

#include "player/DecoderOptions.h"
#include "player/PacketQueue.h"
#include "player/PlaybackClock.h"
#include "player/TextureFormat.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

namespace tolvex {
namespace {

PacketPtr PacketWithPts(int64_t pts)
{
    PacketPtr packet = MakePacket();
    packet->pts = pts;
    return packet;
}

TEST(PacketQueue, KeepsOrderAndCountsAndFlushes)
{
    PacketQueue queue;
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_EQ(queue.Pop(), nullptr);
    for (int i = 0; i < 5; ++i)
        queue.Push(PacketWithPts(i));
    queue.Push(nullptr);
    EXPECT_EQ(queue.Size(), 5u);
    EXPECT_EQ(queue.Pop()->pts, 0);
    EXPECT_EQ(queue.Pop()->pts, 1);
    queue.Push(PacketWithPts(9));
    EXPECT_EQ(queue.Pop()->pts, 2);
    queue.Flush();
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_EQ(queue.Pop(), nullptr);
}

TEST(PacketQueue, ReleasesPacketsWithTheirData)
{
    // Packets carrying reference-counted data: the queue's destructor and Flush must
    // release them (checked under the address sanitizer build for leaks).
    PacketQueue queue;
    for (int i = 0; i < 3; ++i) {
        PacketPtr packet = MakePacket();
        ASSERT_EQ(av_new_packet(packet.get(), 4096), 0);
        queue.Push(std::move(packet));
    }
    EXPECT_EQ(queue.Size(), 3u);
}

TEST(PacketQueue, OneProducerOneConsumerLoseNothing)
{
    PacketQueue queue;
    constexpr int kCount = 20000;
    std::thread producer([&] {
        for (int i = 0; i < kCount; ++i)
            queue.Push(PacketWithPts(i));
    });
    int expected = 0;
    while (expected < kCount) {
        PacketPtr packet = queue.Pop();
        if (!packet)
            continue;
        ASSERT_EQ(packet->pts, expected);
        ++expected;
    }
    producer.join();
    EXPECT_TRUE(queue.IsEmpty());
}

TEST(TextureFormat, DecodedLayoutsGoStraightToTheTextureAndOnlyTheOthersAreConverted)
{
    // What SDL's GL renderer offers besides its YUV textures.
    const std::vector<Uint32> gl{SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_ABGR8888, SDL_PIXELFORMAT_RGB888,
                                 SDL_PIXELFORMAT_BGR888};
    const TextureFormat none{};
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_YUV420P, gl), (TextureFormat{SDL_PIXELFORMAT_IYUV}));
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_YUVJ420P, gl), (TextureFormat{SDL_PIXELFORMAT_IYUV}));
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_NV12, gl), (TextureFormat{SDL_PIXELFORMAT_NV12}));
    // YUV textures are taken by every renderer, listed or not.
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_NV12, {}), (TextureFormat{SDL_PIXELFORMAT_NV12}));
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_BGR0, gl), (TextureFormat{SDL_PIXELFORMAT_RGB888}));
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_BGRA, gl),
              (TextureFormat{SDL_PIXELFORMAT_ARGB8888, AV_PIX_FMT_NONE, SDL_BLENDMODE_BLEND}));

    // Other YUV layouts become planar 4:2:0, everything else 32-bit RGB.
    const TextureFormat toYuv{SDL_PIXELFORMAT_IYUV, AV_PIX_FMT_YUV420P};
    const TextureFormat toRgb{SDL_PIXELFORMAT_ARGB8888, AV_PIX_FMT_RGB32};
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_YUV420P10LE, gl), toYuv);
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_YUV444P, gl), toYuv);
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_GRAY8, gl), toRgb);
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_PAL8, gl), toRgb);
    // RGB the renderer does not list is converted here, not by SDL behind our back.
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_RGB24, gl), toRgb);
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_RGB24, {SDL_PIXELFORMAT_RGB24}), (TextureFormat{SDL_PIXELFORMAT_RGB24}));
    // Nothing reads a hardware surface.
    EXPECT_EQ(ChooseTextureFormat(AV_PIX_FMT_VAAPI, gl), none);
}

TEST(TextureFormat, YuvPicturesAreColouredWithTheirOwnMatrixAndRange)
{
    FramePtr frame = MakeFrame();
    frame->format = AV_PIX_FMT_YUV420P;
    const TextureFormat direct{SDL_PIXELFORMAT_IYUV};
    const TextureFormat converted{SDL_PIXELFORMAT_IYUV, AV_PIX_FMT_YUV420P};
    EXPECT_EQ(YuvConversionMode(*frame, direct), SDL_YUV_CONVERSION_AUTOMATIC);
    frame->colorspace = AVCOL_SPC_BT709;
    EXPECT_EQ(YuvConversionMode(*frame, direct), SDL_YUV_CONVERSION_BT709);
    frame->colorspace = AVCOL_SPC_SMPTE170M;
    EXPECT_EQ(YuvConversionMode(*frame, direct), SDL_YUV_CONVERSION_BT601);
    frame->color_range = AVCOL_RANGE_JPEG;
    EXPECT_EQ(YuvConversionMode(*frame, direct), SDL_YUV_CONVERSION_JPEG);
    // The converter keeps a full-range picture's values unless its layout is a "J" one,
    // which it brings down to the limited range.
    frame->format = AV_PIX_FMT_YUV422P;
    EXPECT_EQ(YuvConversionMode(*frame, converted), SDL_YUV_CONVERSION_JPEG);
    frame->format = AV_PIX_FMT_YUVJ422P;
    EXPECT_EQ(YuvConversionMode(*frame, converted), SDL_YUV_CONVERSION_BT601);
    frame->format = AV_PIX_FMT_YUVJ420P;
    frame->color_range = AVCOL_RANGE_UNSPECIFIED;
    EXPECT_EQ(YuvConversionMode(*frame, direct), SDL_YUV_CONVERSION_JPEG);
}

TEST(PlaybackClock, RunsWithWallClockFromTheLastSetting)
{
    PlaybackClock clock;
    EXPECT_TRUE(std::isnan(clock.pts()));
    EXPECT_TRUE(std::isnan(clock.current()));

    clock.setAt(12.5, 100.0);
    EXPECT_DOUBLE_EQ(clock.pts(), 12.5);
    EXPECT_DOUBLE_EQ(clock.lastUpdated(), 100.0);
    EXPECT_DOUBLE_EQ(clock.drift(), -87.5);
    EXPECT_DOUBLE_EQ(clock.currentAt(101.25), 13.75);

    const double before = PlaybackClock::now();
    clock.set(3.0);
    const double value = clock.current();
    EXPECT_GE(value, 3.0);
    EXPECT_LT(value, 3.0 + (PlaybackClock::now() - before) + 0.001);

    clock.reset();
    EXPECT_TRUE(std::isnan(clock.current()));
}

class DecoderOptionsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_file = s_dir->filePath("av.mkv").toStdString();
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg",
                     {"-y", "-v", "error", "-nostdin", "-f", "lavfi", "-i", "testsrc2=s=64x48:d=0.2", "-f", "lavfi",
                      "-i", "sine=d=0.2", "-c:v", "mpeg4", "-c:a", "pcm_s16le", QString::fromStdString(s_file)});
        ASSERT_TRUE(ffmpeg.waitForFinished(60000));
        ASSERT_EQ(ffmpeg.exitCode(), 0);
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }
    void SetUp() override
    {
        ASSERT_EQ(avformat_open_input(&m_format, s_file.c_str(), nullptr, nullptr), 0);
        ASSERT_GE(avformat_find_stream_info(m_format, nullptr), 0);
        ASSERT_EQ(m_format->nb_streams, 2u);
    }
    void TearDown() override { avformat_close_input(&m_format); }

    static std::string value(const DictionaryPtr& dict, const char* key)
    {
        const AVDictionaryEntry* entry = av_dict_get(dict.get(), key, nullptr, 0);
        return entry ? entry->value : "<none>";
    }

    static QTemporaryDir* s_dir;
    static std::string s_file;
    AVFormatContext* m_format = nullptr;
};

QTemporaryDir* DecoderOptionsTest::s_dir = nullptr;
std::string DecoderOptionsTest::s_file;

TEST_F(DecoderOptionsTest, EmptyUserOptionsGiveExactlyThreadsAuto)
{
    AVStream* video = m_format->streams[0];
    DictionaryPtr options = PlayerDecoderOptions(nullptr, m_format, video, nullptr);
    EXPECT_EQ(av_dict_count(options.get()), 1);
    EXPECT_EQ(value(options, "threads"), "auto");
}

TEST_F(DecoderOptionsTest, StreamSpecifiersAndTypePrefixesSelectEntries)
{
    AVDictionary* raw = nullptr;
    av_dict_set(&raw, "threads:v", "3", 0);       // applies to the video stream only
    av_dict_set(&raw, "lowres:a", "1", 0);        // audio only: dropped for video
    av_dict_set(&raw, "skip_idct:a", "all", 0);   // a picture option addressed to sound
    av_dict_set(&raw, "vflags", "unaligned", 0);  // "v" + the generic "flags" option
    av_dict_set(&raw, "nosuchoption", "1", 0);    // unknown: dropped
    av_dict_set(&raw, "skip_frame:#zz", "1", 0);  // invalid specifier: reported, dropped
    DictionaryPtr user(raw);

    AVStream* video = m_format->streams[0];
    DictionaryPtr forVideo = PlayerDecoderOptions(user.get(), m_format, video, nullptr);
    EXPECT_EQ(value(forVideo, "threads"), "3");
    EXPECT_EQ(value(forVideo, "flags"), "unaligned");
    EXPECT_EQ(value(forVideo, "lowres"), "<none>");
    EXPECT_EQ(value(forVideo, "nosuchoption"), "<none>");
    EXPECT_EQ(value(forVideo, "skip_frame"), "<none>");

    AVStream* audio = m_format->streams[1];
    DictionaryPtr forAudio = FilterDecoderOptions(user.get(), m_format, audio, nullptr);
    EXPECT_EQ(value(forAudio, "lowres"), "1");
    // "skip_idct" is a picture decoding option: not for sound even when addressed to it.
    EXPECT_EQ(value(forAudio, "skip_idct"), "<none>");
    EXPECT_EQ(value(forAudio, "threads"), "<none>");
    EXPECT_EQ(value(forAudio, "flags"), "<none>");
    // The user's set is left as it was.
    EXPECT_EQ(av_dict_count(user.get()), 6);
}

}  // namespace
}  // namespace tolvex
