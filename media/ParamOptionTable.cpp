#include "media/ParamOptionTable.h"

#include "app/Helpers.h"
#include "media/EncoderSupport.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace tolvex {

namespace {

ParamOptions Options(std::initializer_list<const char*> texts, const char* defaultText)
{
    ParamOptions list;
    for (const char* t : texts)
        list.push_back({t, std::string(t) == defaultText});
    return list;
}

ParamOptions Concat(ParamOptions a, const ParamOptions& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The rates of a described list that the format's audio encoder and container accept (the
// AC3 encoder takes 32000-48000 Hz only, MP2 no 8000 Hz, FLV four rates, ffmpeg's own Opus
// encoder 48000 Hz only). When the described default is gone, the rate nearest to it is.
ParamOptions RatesThatWork(const ParamOptions& described, const std::string& format, const std::string& codec,
                           const EncoderSupport& encoders)
{
    ParamOptions kept;
    int defaultRate = 0;
    for (const ParamOption& option : described) {
        const int rate = ParseSampleRateText(option.text);
        if (option.isDefault)
            defaultRate = rate;
        if (encoders.acceptsSampleRate(format, codec, rate))
            kept.push_back(option);
    }
    if (kept.empty())
        return described;
    if (std::none_of(kept.begin(), kept.end(), [](const ParamOption& o) { return o.isDefault; })) {
        ParamOption* nearest = &kept.front();
        for (ParamOption& option : kept) {
            const int distance = std::abs(ParseSampleRateText(option.text) - defaultRate);
            if (distance <= std::abs(ParseSampleRateText(nearest->text) - defaultRate))
                nearest = &option;
        }
        nearest->isDefault = true;
    }
    return kept;
}

const ParamOptions& EmptyOptions()
{
    static const ParamOptions empty;
    return empty;
}

}  // namespace

ParamOptionTable::ParamOptionTable() : ParamOptionTable(EncoderSupport::system()) {}

ParamOptionTable::ParamOptionTable(const EncoderSupport& encoders)
{
    build(encoders);
}

void ParamOptionTable::build(const EncoderSupport& encoders)
{
    const ParamOptions vb11 = Options({"自动", "96kbps", "128kbps", "256kbps", "512kbps", "1.0Mbps", "2.0Mbps",
                                       "3.0Mbps", "4.0Mbps", "6.0Mbps", "8.0Mbps"},
                                      "自动");
    const ParamOptions vb13 = Concat(vb11, Options({"10.0Mbps", "12.0Mbps"}, ""));
    const ParamOptions vb5 = Options({"自动", "96kbps", "128kbps", "256kbps", "512kbps"}, "自动");
    const ParamOptions sr6 = Options({"8000Hz", "16000Hz", "22050Hz", "32000Hz", "44100Hz", "48000Hz"}, "44100Hz");
    const ParamOptions sr7 = Concat(sr6, Options({"96000Hz"}, ""));
    const ParamOptions sr5 = Options({"16000Hz", "22050Hz", "32000Hz", "44100Hz", "48000Hz"}, "44100Hz");
    const ParamOptions ab5 = Options({"自动", "64kbps", "96kbps", "128kbps", "320kbps"}, "自动");
    const ParamOptions ch2 = Options({"单声道", "立体声"}, "立体声");
    const ParamOptions monoOnly = Options({"单声道"}, "单声道");
    const ParamOptions sr8000Only = Options({"8000Hz"}, "8000Hz");
    const ParamOptions sr48000Only = Options({"48000Hz"}, "48000Hz");
    // Without an AMR-NB encoder the 3gp family carries AAC, and the list says so.
    const char* amrText = encoders.canEncode("amr_nb") ? "AMR" : "AAC";

    struct Row {
        const char* format;
        const char* videoCodec;
        const ParamOptions& videoBitRates;
        const char* audioCodec;
        const ParamOptions& sampleRates;
        const ParamOptions& audioBitRates;
        const ParamOptions& channels;
    };
    const Row rows[] = {
        {"mp4", "H.264", vb13, "AAC", sr7, ab5, ch2},
        {"flv", "FLV", vb11, "MP3", sr6, ab5, ch2},
        {"wmv", "MSMPEG4", vb13, "WMA V2", sr6, ab5, ch2},
        {"avi", "MPEG4", vb11, "MP3", sr6, ab5, ch2},
        {"mov", "H.264", vb11, "AAC", sr6, ab5, ch2},
        {"mkv", "H.264", vb11, "VORBIS", sr6, ab5, ch2},
        {"m4v", "H.264", vb11, "AAC", sr6, ab5, ch2},
        {"f4v", "H.264", vb11, "AAC", sr6, ab5, ch2},
        {"ts", "MPG2", vb11, "MP2", sr5, ab5, ch2},
        {"mts", "MPG2", vb11, "MP2", sr5, ab5, ch2},
        {"rm", "RV10", vb11, "AC3", sr6, ab5, ch2},
        {"rmvb", "RV10", vb11, "AC3", sr6, ab5, ch2},
        {"webm", "VP90", vb11, "OPUS", sr6, ab5, ch2},
        {"mpg", "MPG1", vb11, "MP2", sr5, ab5, ch2},
        {"mpeg", "MPG1", vb11, "MP2", sr5, ab5, ch2},
        {"asf", "MSMPEG4", vb11, "WMA V2", sr6, ab5, ch2},
        {"dat", "MPG1", vb5, "MP2", sr6, ab5, ch2},
        {"3gp", "H.263", vb5, amrText, sr8000Only, ab5, monoOnly},
        {"3g2", "H.263", vb5, amrText, sr8000Only, ab5, monoOnly},
        {"vob", "MPG2", vb11, "MP2", sr5, ab5, ch2},
        {"ogv", "THEO", vb11, "VORBIS", sr6, ab5, ch2},
        {"mxf", "MPG2", vb11, "EXTPCM", sr48000Only, ab5, ch2},
    };
    for (const Row& r : rows) {
        m_lists[static_cast<int>(ParamList::VideoCodec)][r.format] = Options({r.videoCodec}, r.videoCodec);
        m_lists[static_cast<int>(ParamList::VideoBitRate)][r.format] = r.videoBitRates;
        m_lists[static_cast<int>(ParamList::AudioCodec)][r.format] = Options({r.audioCodec}, r.audioCodec);
        m_lists[static_cast<int>(ParamList::SampleRate)][r.format] =
            RatesThatWork(r.sampleRates, r.format, CodecEncoderName(r.audioCodec), encoders);
        m_lists[static_cast<int>(ParamList::AudioBitRate)][r.format] = r.audioBitRates;
        m_lists[static_cast<int>(ParamList::Channels)][r.format] = r.channels;
    }
}

const ParamOptions& ParamOptionTable::options(ParamList list, const std::string& format) const
{
    const auto& map = m_lists[static_cast<int>(list)];
    const auto it = map.find(format);
    return it == map.end() ? EmptyOptions() : it->second;
}

bool ParamOptionTable::hasFormat(const std::string& format) const
{
    return m_lists[0].count(format) != 0;
}

std::vector<std::string> ParamOptionTable::formats() const
{
    std::vector<std::string> keys;
    for (const auto& [key, list] : m_lists[0])
        keys.push_back(key);
    return keys;
}

ParamChoices ParamOptionTable::defaultChoices(const std::string& format) const
{
    ParamChoices choices;
    for (int l = 0; l < kParamListCount; ++l) {
        const ParamOptions& list = options(static_cast<ParamList>(l), format);
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i].isDefault) {
                choices[l] = {static_cast<int32_t>(i), list[i].text};
                break;
            }
        }
    }
    return choices;
}

ParamChoices ParamOptionTable::choicesOf(const OutputParams& params, const std::string& format) const
{
    const int32_t stored[kParamListCount] = {params.videoCodecIndex, params.videoBitRateIndex, params.audioCodecIndex,
                                             params.sampleRateIndex, params.audioBitRateIndex, params.channelsIndex};
    ParamChoices choices;
    for (int l = 0; l < kParamListCount; ++l) {
        const ParamOptions& list = options(static_cast<ParamList>(l), format);
        if (stored[l] >= 0 && static_cast<size_t>(stored[l]) < list.size())
            choices[l] = {stored[l], list[stored[l]].text};
    }
    // A stored rate that the list no longer offers falls back to the format's default.
    constexpr int kRates = static_cast<int>(ParamList::SampleRate);
    if (params.sampleRate != 0 && ParseSampleRateText(choices[kRates].text) != params.sampleRate) {
        const std::string text = std::to_string(params.sampleRate) + "Hz";
        const auto offered = findChoice(ParamList::SampleRate, format, text);
        choices[kRates] = offered ? *offered : defaultChoices(format)[kRates];
    }
    return choices;
}

std::optional<ParamChoice> ParamOptionTable::findChoice(ParamList list, const std::string& format,
                                                        const std::string& text) const
{
    const ParamOptions& options_ = options(list, format);
    for (size_t i = 0; i < options_.size(); ++i) {
        if (options_[i].text == text)
            return ParamChoice{static_cast<int32_t>(i), text};
    }
    return std::nullopt;
}

int ParamOptionTable::offeredSampleRate(const std::string& format, int rate) const
{
    if (rate == 0 || !hasFormat(format) || findChoice(ParamList::SampleRate, format, std::to_string(rate) + "Hz"))
        return rate;
    return ParseSampleRateText(defaultChoices(format)[static_cast<int>(ParamList::SampleRate)].text);
}

std::string CodecEncoderName(const std::string& displayText)
{
    static const std::pair<const char*, const char*> kNames[] = {
        {"H.264", "h264"},      {"AAC", "aac"},          {"FLV", "flv"},     {"MP3", "mp3"},
        {"MSMPEG4", "msmpeg4"}, {"WMA V2", "wmav2"},     {"MPEG4", "mpeg4"}, {"VORBIS", "vorbis"},
        {"MPG2", "mpeg2video"}, {"EXTPCM", "pcm_s16le"}, {"MP2", "mp2"},     {"RV10", "rv10"},
        {"AC3", "ac3"},         {"VP90", "vp9"},         {"OPUS", "opus"},   {"MPG1", "mpeg1video"},
        {"H.263", "h263"},      {"AMR", "amr_nb"},       {"THEO", "theora"},
    };
    for (const auto& [display, encoder] : kNames) {
        if (displayText == display)
            return encoder;
    }
    return {};
}

}  // namespace tolvex
