#include "player/StreamDecoder.h"

#include "app/ConsoleLog.h"
#include "player/DecoderOptions.h"

namespace tolvex {

int StreamDecoder::open(AVFormatContext* format, AVStream* stream, Options options)
{
    release();
    m_index = -1;
    m_stream = nullptr;
    const bool video = stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;

    CodecContextPtr context(avcodec_alloc_context3(nullptr));
    if (!context || avcodec_parameters_to_context(context.get(), stream->codecpar) < 0)
        return -1;
    context->pkt_timebase = stream->time_base;
    const AVCodec* codec = avcodec_find_decoder(context->codec_id);
    if (!codec) {
        ConsoleLog(video ? "Video Codec not found.\n" : "Audio Codec not found.\n");
        return -1;
    }
    DictionaryPtr dictionary;
    if (options == Options::Player)
        dictionary = PlayerDecoderOptions(nullptr, format, stream, codec);
    AVDictionary* raw = dictionary.release();
    const int opened = avcodec_open2(context.get(), codec, options == Options::None ? nullptr : &raw);
    dictionary.reset(raw);
    // A decoder that did not open refuses every packet and never reports its end, so the
    // stream would neither play nor ever be played out: it is left out instead.
    if (opened < 0) {
        ConsoleLog("Could not open codec.\n");
        return -1;
    }
    FramePtr frame = MakeFrame();
    if (!frame)
        return -1;

    m_context = std::move(context);
    m_frame = std::move(frame);
    m_stream = stream;
    m_index = stream->index;
    m_heldBack.reset();
    m_outputPending = false;
    m_drainSent = false;
    m_finished = false;
    return 0;
}

void StreamDecoder::release()
{
    m_queue.Flush();
    m_heldBack.reset();
    m_outputPending = false;
    m_context.reset();
    m_frame.reset();
}

void StreamDecoder::disable()
{
    release();
    m_index = -1;
    m_stream = nullptr;
}

bool StreamDecoder::receiveFrame(bool inputEnded)
{
    AVCodecContext* context = m_context.get();
    AVFrame* frame = m_frame.get();
    if (!context || !frame)
        return false;
    int refusedInARow = 0;
    for (;;) {
        if (m_outputPending) {
            const int received = avcodec_receive_frame(context, frame);
            if (received >= 0)
                return true;
            if (received == AVERROR_EOF) {
                avcodec_flush_buffers(context);
                m_outputPending = false;
                m_finished = true;
                return false;
            }
            if (received == AVERROR(EAGAIN))
                m_outputPending = false;
        }
        PacketPtr packet = m_heldBack ? std::move(m_heldBack) : m_queue.Pop();
        if (!packet) {
            if (!inputEnded || m_drainSent)
                return false;
            // Everything has been read: ask for the frames the decoder still holds back
            // (reordering, frame threads), so the last pictures and sound are played too.
            m_drainSent = true;
            avcodec_send_packet(context, nullptr);
            m_outputPending = true;
            continue;
        }
        const int sent = avcodec_send_packet(context, packet.get());
        if (sent == AVERROR(EAGAIN)) {
            m_heldBack = std::move(packet);
            ConsoleLog("send decode packet error\n");
            // A decoder that neither takes input nor gives output must not hold this
            // thread (and the decoder lock) for ever: try again at the next step.
            if (++refusedInARow >= 2)
                return false;
        } else {
            refusedInARow = 0;
        }
        m_outputPending = true;
    }
}

void StreamDecoder::flush()
{
    m_queue.Flush();
    // A packet held back from before the seek would show a picture of the old place.
    m_heldBack.reset();
    m_outputPending = false;
    m_drainSent = false;
    m_finished = false;
    if (m_context)
        avcodec_flush_buffers(m_context.get());
}

bool StreamDecoder::playedOut() const
{
    return m_index < 0 || (m_queue.IsEmpty() && m_finished);
}

}  // namespace tolvex
