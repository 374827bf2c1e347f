#include "media/CompressFormat.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cctype>
#include <set>

namespace tolvex {

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Containers whose usual picture is H.264 with AAC sound: x264 holds a rate far better
// than the older encoders some of them default to (FLV's Sorenson, MPEG-2 in TS, H.263 in
// 3GP), and its rate buffer keeps even a three-second clip on its size.
bool IsH264Container(const std::string& ext)
{
    static const std::set<std::string> kNames = {"mp4", "mov", "m4v",  "f4v", "mkv", "flv",
                                                 "ts",  "mts", "m2ts", "3gp", "3g2"};
    return kNames.count(ext) != 0;
}

std::string DefaultEncoder(AVCodecID id)
{
    if (id == AV_CODEC_ID_NONE)
        return {};
    const AVCodec* codec = avcodec_find_encoder(id);
    return codec ? codec->name : std::string();
}

double VideoFloor(const std::string& encoder)
{
    if (encoder == "libx264" || encoder == "libx265" || encoder == "libvpx-vp9" || encoder == "libaom-av1")
        return 0.01;
    if (encoder == "mpeg1video" || encoder == "mpeg2video")
        return 0.05;
    // MPEG-4 part 2, the Windows Media and Flash relatives, H.263, Theora: their coarsest
    // quantiser ends well above what the newer encoders reach.
    return 0.03;
}

}  // namespace

ContainerCost ContainerCostFor(const std::string& extension)
{
    const std::string ext = Lower(extension);
    // Measured as file size minus stream payload over 3 s and 40 s encodes.
    if (ext == "mp4" || ext == "mov" || ext == "m4v" || ext == "f4v" || ext == "3gp" || ext == "3g2")
        return {1000, 17.0, 0.0};
    if (ext == "mkv" || ext == "webm")
        return {1500, 7.0, 0.0};
    if (ext == "ogv" || ext == "ogg")
        return {9000, 8.0, 0.005};
    if (ext == "flv")
        return {2000, 18.0, 0.0};
    if (ext == "avi" || ext == "divx")
        return {16000, 30.0, 0.0};
    if (ext == "wmv" || ext == "asf")
        return {16000, 36.0, 0.0};
    if (ext == "ts" || ext == "mts" || ext == "m2ts")
        return {4000, 120.0, 0.025};
    if (ext == "mpg" || ext == "mpeg" || ext == "vob" || ext == "dat")
        return {8000, 32.0, 0.01};
    return {16000, 40.0, 0.02};
}

CompressFormat CompressFormatFor(const std::string& extension, const EncoderSupport& encoders)
{
    const std::string ext = Lower(extension);
    const std::string fileName = "a." + ext;
    const AVOutputFormat* muxer = av_guess_format(nullptr, fileName.c_str(), nullptr);

    CompressFormat format;
    CompressProfile& profile = format.profile;
    format.fpsMode = muxer && (muxer->flags & AVFMT_VARIABLE_FPS) != 0 ? "vfr" : "cfr";

    if (IsH264Container(ext) && encoders.canEncode("libx264")) {
        profile.videoEncoder = "libx264";
        profile.audioEncoder = "aac";
    } else if (muxer) {
        profile.videoEncoder = DefaultEncoder(muxer->video_codec);
        profile.audioEncoder = DefaultEncoder(muxer->audio_codec);
    }
    if (profile.videoEncoder.empty())
        profile.videoEncoder = "libx264";
    if (profile.audioEncoder.empty() || !encoders.canEncode(profile.audioEncoder))
        profile.audioEncoder = "aac";  // a container whose own sound encoder this ffmpeg lacks (AMR)

    profile.videoFloorBitsPerPixel = VideoFloor(profile.videoEncoder);
    profile.videoBufferLimit = profile.videoEncoder == "libx264";
    profile.audioSampleRates = encoders.find(profile.audioEncoder).sampleRates;

    const std::string& audio = profile.audioEncoder;
    if (audio == "libmp3lame" || audio == "mp2" || audio == "mp2fixed")
        profile.audioFrameSamples = 1152;
    else if (audio == "wmav2" || audio == "wmav1")
        profile.audioFrameSamples = 2048;
    else if (audio == "ac3" || audio == "ac3_fixed")
        profile.audioFrameSamples = 1536;
    else if (audio == "libopus" || audio == "opus")
        profile.audioFrameSamples = 960;
    // Vorbis runs over its rate by up to a tenth; Opus stays under it, AAC and the
    // constant-rate encoders within a few percent.
    profile.audioRateExcess = (audio == "libvorbis" || audio == "vorbis") ? 1.12 : 1.03;
    profile.container = ContainerCostFor(ext);
    return format;
}

}  // namespace tolvex
