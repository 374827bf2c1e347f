// One stream's decoder on real files: every frame comes out, also those the decoder holds
// back until its input ends, and again after a flush; decoders that cannot be opened leave
// the stream unused.

#include "HeadlessMedia.h"

#include "player/StreamDecoder.h"

#include <gtest/gtest.h>

namespace tolvex {
namespace {

class StreamDecoderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_media = new test::HeadlessMedia;
        // 25 pictures with reordered (B) frames: the decoder holds some back until the end.
        s_pictures =
            s_media->make("reordered.mp4", {"-f", "lavfi", "-i", "testsrc2=s=64x48:r=25:d=1", "-c:v", "libx264",
                                            "-preset", "ultrafast", "-bf", "3", "-pix_fmt", "yuv420p"});
        s_sound = s_media->make("tone.mkv", {"-f", "lavfi", "-i", "sine=r=44100:d=0.5", "-c:a", "pcm_s16le"});
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }
    void SetUp() override
    {
        ASSERT_FALSE(s_pictures.empty());
        ASSERT_FALSE(s_sound.empty());
    }

    static FormatContextPtr openInput(const std::string& path)
    {
        AVFormatContext* raw = nullptr;
        if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) != 0)
            return nullptr;
        FormatContextPtr format(raw);
        if (avformat_find_stream_info(raw, nullptr) < 0)
            return nullptr;
        return format;
    }

    // Queues every packet of stream 0 from the current reading place to the end.
    static void queueAll(AVFormatContext* format, PacketQueue& queue)
    {
        for (;;) {
            PacketPtr packet = MakePacket();
            if (av_read_frame(format, packet.get()) < 0)
                return;
            if (packet->stream_index == 0)
                queue.Push(std::move(packet));
        }
    }

    // Takes frames out until the decoder has none; counts them.
    static int receiveAll(StreamDecoder& decoder, bool inputEnded)
    {
        int frames = 0;
        while (decoder.receiveFrame(inputEnded) && frames < 1000) {
            ++frames;
            av_frame_unref(decoder.frame());
        }
        return frames;
    }

    static test::HeadlessMedia* s_media;
    static std::string s_pictures;
    static std::string s_sound;
};

test::HeadlessMedia* StreamDecoderTest::s_media = nullptr;
std::string StreamDecoderTest::s_pictures;
std::string StreamDecoderTest::s_sound;

TEST_F(StreamDecoderTest, GivesEveryPictureOnceTheInputHasEndedAndAgainAfterAFlush)
{
    FormatContextPtr format = openInput(s_pictures);
    ASSERT_TRUE(format);
    PacketQueue queue;
    StreamDecoder decoder(queue);
    ASSERT_EQ(decoder.open(format.get(), format->streams[0], StreamDecoder::Options::Player), 0);
    EXPECT_TRUE(decoder.hasStream());
    EXPECT_EQ(decoder.index(), 0);
    queueAll(format.get(), queue);
    ASSERT_EQ(queue.Size(), 25u);

    // While more input may come, the pictures held back for reordering stay inside.
    int frames = receiveAll(decoder, false);
    EXPECT_LT(frames, 25);
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_FALSE(decoder.finished());
    EXPECT_FALSE(decoder.playedOut());
    // Once the file has been read to the end the decoder is drained of them.
    frames += receiveAll(decoder, true);
    EXPECT_EQ(frames, 25);
    EXPECT_TRUE(decoder.finished());
    EXPECT_TRUE(decoder.playedOut());
    EXPECT_FALSE(decoder.receiveFrame(true));

    // A seek back to the start: the flushed decoder plays the whole stream again, drained
    // at its end a second time.
    decoder.flush();
    EXPECT_FALSE(decoder.finished());
    EXPECT_FALSE(decoder.playedOut());
    ASSERT_GE(av_seek_frame(format.get(), 0, 0, AVSEEK_FLAG_BACKWARD), 0);
    queueAll(format.get(), queue);
    frames = receiveAll(decoder, false);
    frames += receiveAll(decoder, true);
    EXPECT_EQ(frames, 25);
    EXPECT_TRUE(decoder.playedOut());
}

TEST_F(StreamDecoderTest, FlushDropsWhatWasQueuedBeforeIt)
{
    FormatContextPtr format = openInput(s_pictures);
    ASSERT_TRUE(format);
    PacketQueue queue;
    StreamDecoder decoder(queue);
    ASSERT_EQ(decoder.open(format.get(), format->streams[0], StreamDecoder::Options::Player), 0);
    queueAll(format.get(), queue);
    ASSERT_TRUE(decoder.receiveFrame(false));
    av_frame_unref(decoder.frame());
    ASSERT_FALSE(queue.IsEmpty());
    decoder.flush();
    EXPECT_TRUE(queue.IsEmpty());
    // Nothing of the old place comes out any more, not even when drained.
    EXPECT_EQ(receiveAll(decoder, true), 0);
    EXPECT_TRUE(decoder.finished());
}

TEST_F(StreamDecoderTest, SoundIsDecodedWithTheDecoderDefaults)
{
    FormatContextPtr format = openInput(s_sound);
    ASSERT_TRUE(format);
    PacketQueue queue;
    StreamDecoder decoder(queue);
    ASSERT_EQ(decoder.open(format.get(), format->streams[0], StreamDecoder::Options::None), 0);
    EXPECT_EQ(decoder.context()->thread_count, 1);
    queueAll(format.get(), queue);
    int samples = 0;
    while (decoder.receiveFrame(true)) {
        samples += decoder.frame()->nb_samples;
        av_frame_unref(decoder.frame());
    }
    EXPECT_EQ(samples, 22050);
    EXPECT_TRUE(decoder.playedOut());
}

TEST_F(StreamDecoderTest, ADecoderThatCannotOpenLeavesTheStreamUnused)
{
    FormatContextPtr format = openInput(s_pictures);
    ASSERT_TRUE(format);
    PacketQueue queue;
    StreamDecoder decoder(queue);

    // No decoder for the stream's codec.
    format->streams[0]->codecpar->codec_id = AV_CODEC_ID_NONE;
    EXPECT_EQ(decoder.open(format.get(), format->streams[0], StreamDecoder::Options::Player), -1);
    EXPECT_FALSE(decoder.hasStream());
    EXPECT_EQ(decoder.context(), nullptr);
    EXPECT_TRUE(decoder.playedOut());

    // A sound decoder that refuses its parameters.
    FormatContextPtr sound = openInput(s_sound);
    ASSERT_TRUE(sound);
    sound->streams[0]->codecpar->sample_rate = -1;
    EXPECT_EQ(decoder.open(sound.get(), sound->streams[0], StreamDecoder::Options::None), -1);
    EXPECT_FALSE(decoder.hasStream());
    // Unused, it never holds up the end of the file.
    EXPECT_TRUE(decoder.playedOut());
    EXPECT_FALSE(decoder.receiveFrame(true));
}

}  // namespace
}  // namespace tolvex
