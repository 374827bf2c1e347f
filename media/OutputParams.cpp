#include "media/OutputParams.h"

#include "app/Helpers.h"
#include "media/ParamOptionTable.h"

namespace tolvex {

OutputParams ParseOutputParams(int32_t taskId, const ParamChoices& choices)
{
    const auto& choice = [&](ParamList list) -> const ParamChoice& { return choices[static_cast<int>(list)]; };

    OutputParams p;
    p.taskId = taskId;
    p.videoCodecIndex = choice(ParamList::VideoCodec).index;
    p.videoCodec = CodecEncoderName(choice(ParamList::VideoCodec).text);
    p.videoBitRateIndex = choice(ParamList::VideoBitRate).index;
    p.videoBitRate = static_cast<int32_t>(ParseBitRateText(choice(ParamList::VideoBitRate).text));
    p.audioCodecIndex = choice(ParamList::AudioCodec).index;
    p.audioCodec = CodecEncoderName(choice(ParamList::AudioCodec).text);
    p.sampleRateIndex = choice(ParamList::SampleRate).index;
    p.sampleRate = ParseSampleRateText(choice(ParamList::SampleRate).text);
    p.audioBitRateIndex = choice(ParamList::AudioBitRate).index;
    p.audioBitRate = static_cast<int32_t>(ParseBitRateText(choice(ParamList::AudioBitRate).text));
    p.channelsIndex = choice(ParamList::Channels).index;
    p.channels = ParseChannelText(choice(ParamList::Channels).text);
    return p;
}

}  // namespace tolvex
