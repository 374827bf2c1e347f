#include "player/MediaReader.h"

#include "app/ConsoleLog.h"
#include "player/QuitSignal.h"
#include "player/StreamDecoder.h"

namespace tolvex {

namespace {

constexpr double kRetryAtEnd = 0.040;

}  // namespace

MediaReader::MediaReader(QuitSignal& quit) : m_quit(quit)
{
    m_videoPackets.setTakenListener([this] { wakeReader(); });
    m_audioPackets.setTakenListener([this] { wakeReader(); });
}

MediaReader::~MediaReader()
{
    if (m_thread.joinable()) {
        m_quit.set();
        stop();
    }
}

void MediaReader::setEndOfMediaCallback(EndOfMediaCallback callback, void* user)
{
    m_endCallback = std::move(callback);
    m_endCallbackUser = user;
}

int MediaReader::open(const std::string& path)
{
    close();
    m_atEnd = false;
    AVFormatContext* format = avformat_alloc_context();
    if (!format) {
        ConsoleLog("avformat_alloc_context error\n");
        return -1;
    }
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) != 0) {
        // avformat_open_input frees the context on failure.
        ConsoleLog("avformat_open_input error\n");
        return -1;
    }
    m_format.reset(format);
    if (avformat_find_stream_info(format, nullptr) < 0) {
        ConsoleLog("Couldn't find stream information.\n");
        return -1;
    }
    return 0;
}

void MediaReader::start(const StreamDecoder& video, const StreamDecoder& audio)
{
    m_video = &video;
    m_audio = &audio;
    m_thread = std::thread(&MediaReader::run, this);
}

void MediaReader::stop()
{
    wakeReader();
    if (m_thread.joinable())
        m_thread.join();
}

bool MediaReader::queuesFull() const
{
    return m_videoPackets.Size() >= kMaxQueuedPackets || m_audioPackets.Size() >= kMaxQueuedPackets;
}

void MediaReader::waitForRoom()
{
    std::unique_lock lock(m_roomMutex);
    m_waitingForRoom = true;
    m_roomWake.wait(lock, [this] { return m_quit.isSet() || !queuesFull(); });
    m_waitingForRoom = false;
}

void MediaReader::wakeReader()
{
    {
        // Taken so that a reader that has just found the queues full is already waiting
        // when the wake-up comes.
        std::lock_guard lock(m_roomMutex);
    }
    m_roomWake.notify_all();
}

void MediaReader::close()
{
    m_videoPackets.Flush();
    m_audioPackets.Flush();
    m_format.reset();
}

void MediaReader::seekLocked(int streamIndex, int64_t timestamp)
{
    av_seek_frame(m_format.get(), streamIndex, timestamp, AVSEEK_FLAG_BACKWARD);
    m_atEnd = false;
}

void MediaReader::run()
{
    while (!m_quit.isSet()) {
        m_turns.fetch_add(1);
        if (queuesFull()) {
            waitForRoom();
            continue;
        }
        PacketPtr packet = MakePacket();
        if (!packet)
            break;
        std::unique_lock lock(m_decoderLock);
        const int read = av_read_frame(m_format.get(), packet.get());
        if (read >= 0) {
            m_atEnd = false;
            // Queued while the decoder lock is still held, so a seek cannot slip in between
            // and leave a packet of the old place behind in a freshly flushed queue.
            if (packet->stream_index == m_video->index())
                m_videoPackets.Push(std::move(packet));
            else if (packet->stream_index == m_audio->index())
                m_audioPackets.Push(std::move(packet));
            continue;
        }
        const bool ioError = m_format->pb && m_format->pb->error != 0;
        if (!ioError)
            m_atEnd = true;
        lock.unlock();
        packet.reset();
        if (ioError)
            break;
        ConsoleLog("读取完毕, 等待结束\n");
        // The end is reached once both queues are empty and both decoders have given
        // their last frames.
        if (m_video->playedOut() && m_audio->playedOut()) {
            ConsoleLog("queue is empty\n");
            if (m_notifyAtEnd && m_endCallback)
                m_endCallback(m_endCallbackUser);
        }
        m_quit.sleepFor(kRetryAtEnd);
    }
    ConsoleLog("video_read_thread exit....\n");
}

}  // namespace tolvex
