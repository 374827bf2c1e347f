#pragma once

#include "media/AvPointers.h"
#include "player/PacketQueue.h"

#include <atomic>

namespace tolvex {

// One decoded stream of the player: the decoder, the packet queue it takes its input from,
// its decoded frame and the state of the receive-first decode loop. The video decoder is
// driven by the render thread, the audio decoder by SDL's audio thread; there is no frame
// queue: a frame is decoded when it is due.
//
// Threads: open and release run on the owner's UI thread while none of the player's threads
// runs. receiveFrame and flush are called with the reader's decoder lock held (the render
// thread or SDL's audio thread, and the UI thread's Seek). finished and playedOut may be
// read from any thread (the read thread looks for the end of the file).
class StreamDecoder {
public:
    enum class Options {
        None,    // the decoder's defaults
        Player,  // the player's decoder options: "threads" = "auto"
    };

    explicit StreamDecoder(PacketQueue& queue) : m_queue(queue) {}
    StreamDecoder(const StreamDecoder&) = delete;
    StreamDecoder& operator=(const StreamDecoder&) = delete;

    // Opens the decoder of `stream` (video or sound): a context filled from the stream's
    // parameters, the decoder found by its codec id, opened with the given options, and a
    // frame to decode into. 0 on success; -1 after printing "Video Codec not found." /
    // "Audio Codec not found." or "Could not open codec.", the stream then left unused.
    int open(AVFormatContext* format, AVStream* stream, Options options);
    // Frees the decoder and its frame and empties the queue. The stream stays known
    // (index, hasStream) so that the player's observers answer as before its close.
    void release();
    // Leaves the stream out altogether: its packets are no longer queued and the player
    // runs as if the file did not have it.
    void disable();

    // True while the file's stream of this kind is played.
    bool hasStream() const { return m_index >= 0; }
    // The stream's index in the file, -1 when there is none.
    int index() const { return m_index; }
    AVStream* stream() const { return m_stream; }
    AVCodecContext* context() const { return m_context.get(); }
    // The frame the last successful receiveFrame filled.
    AVFrame* frame() const { return m_frame.get(); }
    PacketQueue& queue() const { return m_queue; }

    // The receive-first loop: the decoder is asked for a frame first, and fed the held-back
    // or next queued packet when it wants more input. Once the file has been read to the end
    // (`inputEnded`) and the queue is empty, the decoder is drained of the frames it still
    // holds. True with a frame in frame(). Decoder lock held.
    bool receiveFrame(bool inputEnded);
    // After a seek: empties the queue, drops a held-back packet and the decoder's buffered
    // frames and starts the loop afresh. Decoder lock held.
    void flush();

    // The decoder has given its last frame since the last flush.
    bool finished() const { return m_finished.load(); }
    // True when the stream has nothing more to give: no stream, or the queue is empty and
    // the decoder drained.
    bool playedOut() const;

private:
    PacketQueue& m_queue;
    int m_index = -1;
    AVStream* m_stream = nullptr;
    CodecContextPtr m_context;
    FramePtr m_frame;
    PacketPtr m_heldBack;
    bool m_outputPending = false;
    // End of input: the decoder was asked for its last frames, and gave them all.
    std::atomic<bool> m_drainSent{false};
    std::atomic<bool> m_finished{false};
};

}  // namespace tolvex
