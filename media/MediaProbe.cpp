#include "media/MediaProbe.h"

#include "app/ConsoleLog.h"
#include "media/AvPointers.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

#include <cmath>
#include <cstring>
#include <limits>

namespace tolvex {

namespace {

FormatContextPtr OpenContainer(const std::string& path)
{
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0)
        return nullptr;  // avformat_open_input frees the context itself on failure
    return FormatContextPtr(context);
}

// double to int64 as the x86 conversion does it: out of range (and NaN) gives INT64_MIN.
int64_t TruncateToInt64(double value)
{
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    if (!(value > -kLimit && value < kLimit))
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

}  // namespace

int64_t StreamDurationMicroseconds(const AVFormatContext& container, const AVStream& stream)
{
    const double scale = static_cast<double>(stream.time_base.num) / static_cast<double>(stream.time_base.den);
    const int64_t micros = TruncateToInt64(static_cast<double>(stream.duration) * scale * 1000000.0);
    if (micros == std::numeric_limits<int64_t>::min())
        return container.duration;
    return micros;
}

bool StreamHasRotation(const AVStream& stream)
{
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(stream.metadata, "", entry, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        if (std::strcmp(entry->key, "rotate") == 0) {
            ConsoleLog("Key:%s ===value:%s\n", entry->key, entry->value);
            return true;
        }
    }
    // FFmpeg 5 keeps the rotation of phone videos as a display matrix, not as a tag.
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (matrix && size >= 9 * sizeof(int32_t)) {
        const double degrees = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
        if (std::isfinite(degrees) && std::lround(degrees) % 360 != 0)
            return true;
    }
    return false;
}

int32_t ProbeMediaInfo(MediaInfo& info)
{
    FormatContextPtr container = OpenContainer(info.path);
    if (!container) {
        ConsoleLog("avformat_open_input error\n");
        return -1;
    }
    if (avformat_find_stream_info(container.get(), nullptr) < 0) {
        ConsoleLog("avformat_find_stream_info error\n");
        return -1;
    }
    for (unsigned i = 0; i < container->nb_streams; ++i) {
        const AVStream* stream = container->streams[i];
        const AVCodecParameters* codec = stream->codecpar;
        if (codec->codec_type == AVMEDIA_TYPE_VIDEO) {
            if (StreamHasRotation(*stream))
                info.hasRotateTag = 1;
            info.videoStreamIndex = static_cast<int32_t>(i);
            info.videoBitRate = static_cast<int32_t>(static_cast<uint32_t>(codec->bit_rate));
            info.width = codec->width;
            info.height = codec->height;
            if (stream->r_frame_rate.den > 0)
                info.frameRate = stream->r_frame_rate.num / stream->r_frame_rate.den;
            else if (stream->avg_frame_rate.den > 0)  // the codec's own frame rate, as the demuxer saw it
                info.frameRate = stream->avg_frame_rate.num / stream->avg_frame_rate.den;
            info.durationSeconds =
                TruncateToInt64(static_cast<double>(StreamDurationMicroseconds(*container, *stream)) / 1000000.0);
        } else if (codec->codec_type == AVMEDIA_TYPE_AUDIO) {
            info.audioStreamIndex = static_cast<int32_t>(i);
            info.audioBitRate = static_cast<int32_t>(static_cast<uint32_t>(codec->bit_rate));
            info.audioSampleFormat = codec->format;
            info.sampleRate = codec->sample_rate;
            info.channels = codec->ch_layout.nb_channels;
        }
    }
    return 0;
}

double ProbeDurationSeconds(const std::string& path)
{
    FormatContextPtr container = OpenContainer(path);
    if (!container)
        return 0.0;
    avformat_find_stream_info(container.get(), nullptr);
    for (unsigned i = 0; i < container->nb_streams; ++i) {
        const AVStream* stream = container->streams[i];
        const AVMediaType type = stream->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO)
            return static_cast<double>(StreamDurationMicroseconds(*container, *stream)) / 1000000.0;
    }
    ConsoleLog("not found a video stream.\n");
    return -1.0;
}

}  // namespace tolvex
