#include "media/EncoderSupport.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <iterator>

namespace tolvex {

namespace {

EncoderSupport::Encoder FromLibavcodec(const std::string& name)
{
    EncoderSupport::Encoder result;
    if (name.empty())
        return result;
    const AVCodec* codec = avcodec_find_encoder_by_name(name.c_str());
    if (!codec) {
        if (const AVCodecDescriptor* desc = avcodec_descriptor_get_by_name(name.c_str()))
            codec = avcodec_find_encoder(desc->id);
    }
    if (!codec)
        return result;
    result.exists = true;
    result.experimental = (codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) != 0;
    result.name = codec->name;
    if (codec->supported_samplerates) {
        for (const int* rate = codec->supported_samplerates; *rate != 0; ++rate)
            result.sampleRates.push_back(*rate);
    }
    return result;
}

}  // namespace

const EncoderSupport& EncoderSupport::system()
{
    static const EncoderSupport instance(&FromLibavcodec);
    return instance;
}

EncoderSupport::EncoderSupport(Lookup lookup) : m_lookup(std::move(lookup)) {}

std::string EncoderSupport::audioEncoderFor(const std::string& codec) const
{
    if (codec == "amr_nb" && !canEncode("amr_nb"))
        return "aac";
    if (codec == "vorbis" && canEncode("libvorbis"))
        return "libvorbis";
    return codec;
}

bool EncoderSupport::acceptsSampleRate(const std::string& format, const std::string& codec, int rate) const
{
    const Encoder encoder = find(audioEncoderFor(codec));
    if (!encoder.sampleRates.empty() &&
        std::find(encoder.sampleRates.begin(), encoder.sampleRates.end(), rate) == encoder.sampleRates.end())
        return false;
    // The FLV header has a two-bit rate field: 5512, 11025, 22050 and 44100 Hz, and MP3 at
    // 48000 Hz stored as 44100. Any other rate makes the muxer refuse the stream.
    if (format == "flv") {
        static const int kFlvRates[] = {5512, 11025, 22050, 44100};
        const bool listed = std::find(std::begin(kFlvRates), std::end(kFlvRates), rate) != std::end(kFlvRates);
        return listed || (rate == 48000 && encoder.name == "libmp3lame");
    }
    return true;
}

std::vector<std::string> ExtractAudioFormats()
{
    static const char* const kCandidates[] = {"mp3", "aac", "m4a",  "wav", "flac", "ogg",
                                              "wma", "ac3", "aiff", "mka", "mp2",  "opus"};
    std::vector<std::string> formats;
    for (const char* ext : kCandidates) {
        const std::string fileName = std::string("a.") + ext;
        const AVOutputFormat* muxer = av_guess_format(nullptr, fileName.c_str(), nullptr);
        if (!muxer || muxer->audio_codec == AV_CODEC_ID_NONE)
            continue;
        if (!avcodec_find_encoder(muxer->audio_codec))
            continue;
        formats.push_back(ext);
    }
    return formats;
}

}  // namespace tolvex
