// Packet queue, clock and decoder option filtering: no display, no sound device.

#include "player/DecoderOptions.h"
#include "player/PacketQueue.h"
#include "player/PlaybackClock.h"

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
