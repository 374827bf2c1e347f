#pragma once

#include "media/AvPointers.h"
#include "player/PacketQueue.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tolvex {

class QuitSignal;
class StreamDecoder;

// The player's reader: opens the file's container and runs the read thread, which demuxes
// into the video and the audio packet queue, keeps them from growing without end, and at
// the end of the file tells the owner once both streams have played out. While a queue is
// full it sleeps until a decoder takes a packet out (or the player closes).
//
// Threads: the owner's UI thread opens, starts, stops and closes it, sets the end callback
// and seeks (with the decoder lock held). The read thread runs the loop and calls the end
// callback (so the callback must not close the player). The render thread and SDL's audio
// thread take packets from the queues and read atEnd.
// The decoder lock serialises every use of the format context and of both decoders; a
// packet queue's lock is only ever taken inside it, never the other way round.
class MediaReader {
public:
    using EndOfMediaCallback = std::function<void(void* user)>;

    static constexpr std::size_t kMaxQueuedPackets = 180;

    explicit MediaReader(QuitSignal& quit);
    ~MediaReader();
    MediaReader(const MediaReader&) = delete;
    MediaReader& operator=(const MediaReader&) = delete;

    void setEndOfMediaCallback(EndOfMediaCallback callback, void* user);
    // The end callback is called only while this is on.
    void setNotifyAtEnd(bool notify) { m_notifyAtEnd = notify; }

    // Opens the container and reads its stream information. 0 on success; -1 after
    // printing what failed.
    int open(const std::string& path);
    AVFormatContext* format() const { return m_format.get(); }
    // The decoder lock (see the class comment).
    std::mutex& decoderLock() { return m_decoderLock; }
    PacketQueue& videoPackets() { return m_videoPackets; }
    PacketQueue& audioPackets() { return m_audioPackets; }

    // Starts the read thread, queueing the packets of the two decoders' streams (a decoder
    // without a stream takes none) and watching them play out at the end.
    void start(const StreamDecoder& video, const StreamDecoder& audio);
    // Wakes and joins the read thread; the quit signal must be set first.
    void stop();
    // Closes the container (after stop).
    void close();

    // Moves the reading to the key frame at or before `timestamp` of stream `streamIndex`.
    // Decoder lock held.
    void seekLocked(int streamIndex, int64_t timestamp);
    // The last read found the end of the file (not an I/O error).
    bool atEnd() const { return m_atEnd.load(); }
    // How many times the read loop has gone round. A caller that waits for a few more turns
    // knows the reader has looked at the queues and the file again since.
    long turns() const { return m_turns.load(); }
    // The read thread sleeps until a queue has room again.
    bool waitingForRoom() const { return m_waitingForRoom.load(); }

private:
    void run();
    bool queuesFull() const;
    // Sleeps until there is room in both queues or the player closes.
    void waitForRoom();
    void wakeReader();

    QuitSignal& m_quit;
    std::atomic<long> m_turns{0};
    std::atomic<bool> m_waitingForRoom{false};
    std::mutex m_decoderLock;
    FormatContextPtr m_format;
    PacketQueue m_videoPackets;
    PacketQueue m_audioPackets;
    const StreamDecoder* m_video = nullptr;
    const StreamDecoder* m_audio = nullptr;
    std::atomic<bool> m_atEnd{false};
    EndOfMediaCallback m_endCallback;
    void* m_endCallbackUser = nullptr;
    std::atomic<bool> m_notifyAtEnd{false};
    std::mutex m_roomMutex;
    std::condition_variable m_roomWake;
    std::thread m_thread;
};

}  // namespace tolvex
