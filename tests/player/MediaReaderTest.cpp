// The read thread on a real file: it stops filling a queue at 180 packets and goes on as
// the queue drains, reads again after a seek, and calls the end callback only once
// everything has played out, every 40 ms while asked to.

#include "HeadlessMedia.h"

#include "player/MediaReader.h"
#include "player/QuitSignal.h"
#include "player/StreamDecoder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace tolvex {
namespace {

using test::PollUntil;

class MediaReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_media = new test::HeadlessMedia;
        // 300 small pictures, one packet each.
        s_file = s_media->make("long.mkv", {"-f", "lavfi", "-i", "testsrc2=s=32x32:r=50:d=6", "-c:v", "mpeg4"});
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }
    void SetUp() override
    {
        ASSERT_FALSE(s_file.empty());
        ASSERT_EQ(m_reader.open(s_file), 0);
        ASSERT_EQ(m_video.open(m_reader.format(), m_reader.format()->streams[0], StreamDecoder::Options::None), 0);
        m_reader.setEndOfMediaCallback(
            [this](void* user) {
                m_user = user;
                m_ends++;
            },
            &m_ends);
    }
    void TearDown() override
    {
        m_quit.set();
        m_reader.stop();
    }

    // Waits until the read loop has gone round `count` more times: whatever the reader
    // would do on its own, it has had the chance to do by then.
    void waitTurns(long count)
    {
        const long from = m_reader.turns();
        ASSERT_TRUE(PollUntil([&] { return m_reader.turns() >= from + count; }, 5000));
    }

    // Decodes until the decoder has given its last picture.
    void decodeToTheEnd()
    {
        for (int step = 0; step < 1000 && !m_video.finished(); ++step) {
            std::lock_guard lock(m_reader.decoderLock());
            if (m_video.receiveFrame(m_reader.atEnd()))
                av_frame_unref(m_video.frame());
        }
    }

    static test::HeadlessMedia* s_media;
    static std::string s_file;
    QuitSignal m_quit;
    MediaReader m_reader{m_quit};
    StreamDecoder m_video{m_reader.videoPackets()};
    StreamDecoder m_audio{m_reader.audioPackets()};
    std::atomic<int> m_ends{0};
    std::atomic<void*> m_user{nullptr};
};

test::HeadlessMedia* MediaReaderTest::s_media = nullptr;
std::string MediaReaderTest::s_file;

TEST_F(MediaReaderTest, QueueIsHeldAt180PacketsAndReadingGoesOnAsItDrains)
{
    m_reader.start(m_video, m_audio);
    PacketQueue& queue = m_reader.videoPackets();
    ASSERT_TRUE(PollUntil([&] { return queue.Size() >= 180; }, 5000));
    // The reader sleeps on the full queue instead of reading on.
    ASSERT_TRUE(PollUntil([&] { return m_reader.waitingForRoom(); }, 5000));
    const long turns = m_reader.turns();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(m_reader.turns(), turns);
    EXPECT_EQ(queue.Size(), 180u);
    EXPECT_FALSE(m_reader.atEnd());

    for (int i = 0; i < 150; ++i)
        queue.Pop();
    ASSERT_TRUE(PollUntil([&] { return m_reader.atEnd(); }, 5000));
    EXPECT_EQ(queue.Size(), 150u);
    // Packets still wait: the end has not been played yet.
    waitTurns(3);
    EXPECT_EQ(m_ends.load(), 0);
}

TEST_F(MediaReaderTest, EndCallbackRepeatsOncePlayedOutWhileAskedFor)
{
    m_reader.setNotifyAtEnd(true);
    m_reader.start(m_video, m_audio);
    ASSERT_TRUE(PollUntil([&] { return m_reader.videoPackets().Size() >= 100; }, 5000));
    // Decoding everything lets the reader read to the end, then the decoder is drained.
    while (!m_video.finished()) {
        decodeToTheEnd();
        if (!m_video.finished())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(PollUntil([&] { return m_ends.load() >= 3; }, 2000));
    EXPECT_EQ(m_user.load(), &m_ends);

    // Every 40 ms: a dozen calls take about half a second, not a burst.
    const auto start = std::chrono::steady_clock::now();
    const int before = m_ends;
    ASSERT_TRUE(PollUntil([&] { return m_ends.load() >= before + 12; }, 3000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));

    // Switched off, the calls stop.
    m_reader.setNotifyAtEnd(false);
    waitTurns(2);  // a call under way when it was switched off has ended
    const int off = m_ends;
    waitTurns(4);
    EXPECT_EQ(m_ends.load(), off);
}

TEST_F(MediaReaderTest, ReadingResumesAfterASeekFromTheEnd)
{
    m_reader.setNotifyAtEnd(true);
    m_reader.start(m_video, m_audio);
    while (!m_video.finished()) {
        decodeToTheEnd();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(PollUntil([&] { return m_ends.load() > 0; }, 2000));

    {
        std::lock_guard lock(m_reader.decoderLock());
        m_reader.seekLocked(0, 0);
        m_video.flush();
        EXPECT_FALSE(m_reader.atEnd());
    }
    // From the start again: the queue fills up to its limit and no end is reported.
    ASSERT_TRUE(PollUntil([&] { return m_reader.videoPackets().Size() >= 180; }, 5000));
    const int ends = m_ends;
    ASSERT_TRUE(PollUntil([&] { return m_reader.waitingForRoom(); }, 5000));
    EXPECT_EQ(m_ends.load(), ends);
    EXPECT_FALSE(m_reader.atEnd());
}

TEST_F(MediaReaderTest, StopEndsTheReadingAndCloseLeavesNothingQueued)
{
    m_reader.start(m_video, m_audio);
    ASSERT_TRUE(PollUntil([&] { return m_reader.videoPackets().Size() >= 180; }, 5000));
    const auto start = std::chrono::steady_clock::now();
    m_quit.set();
    m_reader.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    m_reader.close();
    EXPECT_TRUE(m_reader.videoPackets().IsEmpty());
    EXPECT_EQ(m_reader.format(), nullptr);
}

}  // namespace
}  // namespace tolvex
