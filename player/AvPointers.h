#pragma once

// Single owners for the FFmpeg objects the preview player holds. Each deleter calls the
// matching FFmpeg release function, so a reset or going out of scope frees the object.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace tolvex {

struct FormatContextCloser {
    void operator()(AVFormatContext* ctx) const
    {
        // A context that went through avformat_open_input is closed; one that only
        // came from avformat_alloc_context (open failed) is just freed.
        if (ctx && ctx->iformat)
            avformat_close_input(&ctx);
        else
            avformat_free_context(ctx);
    }
};

struct CodecContextFreer {
    void operator()(AVCodecContext* ctx) const { avcodec_free_context(&ctx); }
};

struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};

struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

struct SwsContextFreer {
    void operator()(SwsContext* ctx) const { sws_freeContext(ctx); }
};

struct SwrContextFreer {
    void operator()(SwrContext* ctx) const { swr_free(&ctx); }
};

struct AvBufferFreer {
    void operator()(uint8_t* data) const { av_free(data); }
};

struct DictionaryFreer {
    void operator()(AVDictionary* dict) const { av_dict_free(&dict); }
};

using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextCloser>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using SwsContextPtr = std::unique_ptr<SwsContext, SwsContextFreer>;
using SwrContextPtr = std::unique_ptr<SwrContext, SwrContextFreer>;
using AvBufferPtr = std::unique_ptr<uint8_t, AvBufferFreer>;
using DictionaryPtr = std::unique_ptr<AVDictionary, DictionaryFreer>;

inline PacketPtr MakePacket()
{
    return PacketPtr(av_packet_alloc());
}

inline FramePtr MakeFrame()
{
    return FramePtr(av_frame_alloc());
}

} // namespace tolvex
