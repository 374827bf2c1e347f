#include "media/KeyFrameProbe.h"

#include "media/AvPointers.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cstdint>

namespace tolvex {

namespace {

// Packets read after one seek before giving up on finding the time's key frame there.
constexpr int kPacketsPerSeek = 4000;

int FirstVideoStream(const AVFormatContext& container)
{
    for (unsigned i = 0; i < container.nb_streams; ++i) {
        const AVStream* stream = container.streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return static_cast<int>(i);
    }
    return -1;
}

struct SeekResult {
    std::optional<double> atOrBefore;  // the last key frame at or before the time
    std::optional<double> firstKey;    // the first key frame read after the seek
};

// Seeks the video track back to `from` (file seconds) and reads on until past `seconds`.
SeekResult KeyFramesAfterSeek(AVFormatContext& container, int video, double from, double seconds, double origin)
{
    SeekResult result;
    const AVStream* stream = container.streams[video];
    const double unit = av_q2d(stream->time_base);
    const auto target = static_cast<int64_t>((std::max(from, 0.0) + origin) / unit);
    if (av_seek_frame(&container, video, target, AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(&container, video, target, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0)
        return result;
    PacketPtr packet = MakePacket();
    if (!packet)
        return result;
    for (int read = 0; read < kPacketsPerSeek && av_read_frame(&container, packet.get()) >= 0; ++read) {
        const bool ours = packet->stream_index == video;
        const int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        const int64_t dts = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
        const bool key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
        av_packet_unref(packet.get());
        if (!ours || pts == AV_NOPTS_VALUE)
            continue;
        const double at = static_cast<double>(pts) * unit - origin;
        if (key && !result.firstKey)
            result.firstKey = at;
        // A microsecond of slack: the time may come from a text rounded to microseconds.
        if (key && at <= seconds + 1e-6)
            result.atOrBefore = at;
        // Decoding order: once a packet is decoded after the time, no later key frame is before it.
        if (static_cast<double>(dts) * unit - origin > seconds)
            break;
    }
    return result;
}

}  // namespace

std::optional<double> ProbeKeyFrameAtOrBefore(const std::string& path, double seconds, const ProbeLimits& limits)
{
    std::optional<double> found;
    WithAnalysedContainer(path, limits, [&](AVFormatContext& container) {
        const int video = FirstVideoStream(container);
        if (video < 0)
            return;
        const double origin =
            container.start_time != AV_NOPTS_VALUE ? static_cast<double>(container.start_time) / AV_TIME_BASE : 0.0;
        // A seek may land after the key frame wanted (an index of decoding times, sparse
        // cues): step back further until one at or before the time turns up.
        double step = 1.0;
        for (double from = seconds;; from -= step, step *= 2.0) {
            const SeekResult result = KeyFramesAfterSeek(container, video, from, seconds, origin);
            if (result.atOrBefore) {
                found = std::max(0.0, *result.atOrBefore);
                return;
            }
            if (from <= 0.0) {
                // Nothing before the time: a cut can start no earlier than the first key frame.
                if (result.firstKey)
                    found = std::max(0.0, *result.firstKey);
                return;
            }
        }
    });
    return found;
}

}  // namespace tolvex
