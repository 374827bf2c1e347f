#include "media/TrackFormats.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/pixdesc.h>
}

namespace tolvex {

namespace {

std::string Ratio(AVRational r, char separator)
{
    if (r.num == 0 && r.den == 0)
        return {};
    return std::to_string(r.num) + separator + std::to_string(r.den);
}

std::string LayoutName(const AVChannelLayout& layout)
{
    char text[128] = {};
    if (av_channel_layout_describe(&layout, text, sizeof text) < 0)
        return std::to_string(layout.nb_channels) + " channels";
    return text;
}

TrackFormat FormatOf(const AVStream& stream)
{
    const AVCodecParameters& p = *stream.codecpar;
    TrackFormat f;
    f.codec = avcodec_get_name(p.codec_id);
    if (const char* profile = avcodec_profile_name(p.codec_id, p.profile))
        f.profile = profile;
    if (p.codec_type == AVMEDIA_TYPE_VIDEO) {
        f.kind = TrackKind::Video;
        f.width = p.width;
        f.height = p.height;
        const AVRational sar = p.sample_aspect_ratio.num > 0 ? p.sample_aspect_ratio : AVRational{1, 1};
        f.aspect = Ratio(sar, ':');
        if (const char* name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(p.format)))
            f.pixelFormat = name;
        f.frameRate = Ratio(stream.r_frame_rate, '/');
        f.timeBase = Ratio(stream.time_base, '/');
        f.turn = StreamUprightTurn(stream);
    } else if (p.codec_type == AVMEDIA_TYPE_AUDIO) {
        f.kind = TrackKind::Audio;
        f.sampleRate = p.sample_rate;
        f.channelLayout = LayoutName(p.ch_layout);
    } else {
        f.kind = TrackKind::Subtitle;
    }
    return f;
}

}  // namespace

std::optional<JoinInput> ProbeJoinInput(const std::string& path, const ProbeLimits& limits)
{
    JoinInput input;
    const bool read = WithAnalysedContainer(path, limits, [&](AVFormatContext& container) {
        for (unsigned i = 0; i < container.nb_streams; ++i) {
            const AVStream& stream = *container.streams[i];
            const AVMediaType type = stream.codecpar->codec_type;
            const bool cover = (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
            if ((type == AVMEDIA_TYPE_VIDEO && !cover) || type == AVMEDIA_TYPE_AUDIO || type == AVMEDIA_TYPE_SUBTITLE)
                input.tracks.push_back(FormatOf(stream));
        }
        if (container.duration != AV_NOPTS_VALUE && container.duration > 0)
            input.durationSeconds = static_cast<double>(container.duration) / AV_TIME_BASE;
    });
    if (!read)
        return std::nullopt;
    return input;
}

}  // namespace tolvex
