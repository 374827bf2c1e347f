#pragma once

// Single owners for the objects of FFmpeg's demuxing and decoding libraries. Each deleter
// calls the matching FFmpeg release function, so a reset or going out of scope frees the
// object.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
}

#include <memory>

namespace tolvex {

// For an input container: avformat_close_input closes the demuxer and the I/O context it
// opened, then frees the context. It is also right for a context that never got as far as
// being opened (it then only frees it), so one owner serves the whole life of an input.
// Note that avformat_open_input frees the context itself when it fails: hand it the raw
// pointer (release() first) and take it back only on success.
struct FormatContextCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};

struct CodecContextFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};

struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};

struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
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

}  // namespace tolvex
