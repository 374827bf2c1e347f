#include "media/CompressProbe.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>

namespace tolvex {

namespace {

using Clock = std::chrono::steady_clock;

// How much sound is read to measure its rate when the container does not say it.
constexpr double kMeasureSeconds = 20.0;
constexpr int64_t kMeasureMaxBytes = 64LL * 1024 * 1024;

// A file that stops answering (a stalled mount) must not hold the job's worker.
struct Deadline {
    Clock::time_point end;
    const std::atomic<bool>* abort = nullptr;
};

int PastDeadline(void* opaque)
{
    const auto* deadline = static_cast<Deadline*>(opaque);
    return Clock::now() > deadline->end || (deadline->abort && deadline->abort->load()) ? 1 : 0;
}

struct FormatContextCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextCloser>;

struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

FormatContextPtr Open(const std::string& path, Deadline& deadline)
{
    AVFormatContext* context = avformat_alloc_context();
    if (!context)
        return nullptr;
    context->interrupt_callback.callback = &PastDeadline;
    context->interrupt_callback.opaque = &deadline;
    if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0)
        return nullptr;  // freed by avformat_open_input
    FormatContextPtr owned(context);
    if (avformat_find_stream_info(context, nullptr) < 0)
        return nullptr;
    return owned;
}

// The "BPS" statistics tag that mkvmerge writes for each track.
int64_t TaggedBitRate(const AVStream& stream)
{
    const AVDictionaryEntry* entry = av_dict_get(stream.metadata, "BPS", nullptr, 0);
    if (!entry)
        entry = av_dict_get(stream.metadata, "BPS-eng", nullptr, 0);
    return entry ? std::strtoll(entry->value, nullptr, 10) : 0;
}

// The sound's bytes over the first seconds, as a rate; 0 when too little was read.
int64_t MeasuredBitRate(AVFormatContext& context, const AVStream& stream)
{
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    if (!packet)
        return 0;
    const double timeBase = av_q2d(stream.time_base);
    int64_t bytes = 0;
    int64_t read = 0;
    int64_t first = AV_NOPTS_VALUE;
    int64_t last = AV_NOPTS_VALUE;
    while (read < kMeasureMaxBytes && av_read_frame(&context, packet.get()) >= 0) {
        read += packet->size;
        if (packet->stream_index == stream.index && packet->pts != AV_NOPTS_VALUE) {
            bytes += packet->size;
            if (first == AV_NOPTS_VALUE)
                first = packet->pts;
            last = packet->pts + packet->duration;
            if (static_cast<double>(last - first) * timeBase >= kMeasureSeconds) {
                av_packet_unref(packet.get());
                break;
            }
        }
        av_packet_unref(packet.get());
    }
    if (first == AV_NOPTS_VALUE)
        return 0;
    const double seconds = static_cast<double>(last - first) * timeBase;
    return seconds >= 0.5 ? static_cast<int64_t>(static_cast<double>(bytes) * 8.0 / seconds) : 0;
}

}  // namespace

std::optional<CompressSource> ProbeCompressSource(const std::string& path, const ProbeLimits& limits)
{
    // The media probe first: it refuses what would block in open() (a fifo, a device).
    MediaInfo checked(path);
    if (ProbeMediaInfo(checked, limits) != 0)
        return std::nullopt;
    Deadline deadline{Clock::now() + limits.timeout, limits.abort};
    FormatContextPtr context = Open(path, deadline);
    if (!context)
        return std::nullopt;

    CompressSource source;
    if (context->duration > 0)
        source.durationSeconds = static_cast<double>(context->duration) / AV_TIME_BASE;

    // The streams the ffmpeg program maps by default: the best picture and the best sound.
    const int video = av_find_best_stream(context.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video >= 0) {
        AVStream* stream = context->streams[video];
        source.hasVideo = true;
        source.width = stream->codecpar->width;
        source.height = stream->codecpar->height;
        const AVRational rate = av_guess_frame_rate(context.get(), stream, nullptr);
        if (rate.num > 0 && rate.den > 0)
            source.frameRate = av_q2d(rate);
        if (!(source.durationSeconds > 0.0) && stream->duration > 0)
            source.durationSeconds = static_cast<double>(stream->duration) * av_q2d(stream->time_base);
    }
    const int audio = av_find_best_stream(context.get(), AVMEDIA_TYPE_AUDIO, -1, video, nullptr, 0);
    if (audio >= 0) {
        AVStream* stream = context->streams[audio];
        source.hasAudio = true;
        source.channels = stream->codecpar->ch_layout.nb_channels;
        source.sampleRate = stream->codecpar->sample_rate;
        source.audioBitRate = stream->codecpar->bit_rate;
        if (source.audioBitRate <= 0)
            source.audioBitRate = TaggedBitRate(*stream);
        if (source.audioBitRate <= 0)
            source.audioBitRate = MeasuredBitRate(*context, *stream);
    }
    return source;
}

}  // namespace tolvex
