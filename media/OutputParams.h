#pragma once

// The output choices of the parameter dialog for one convert item, and how the dialog's
// six selections (position and display text) become that record.

#include <array>
#include <cstdint>
#include <string>

namespace tolvex {

struct OutputParams {
    int32_t taskId = 0;
    int32_t videoCodecIndex = -1;
    std::string videoCodec;  // FFmpeg encoder name, e.g. "h264"; empty when the list was empty
    int32_t videoBitRateIndex = -1;
    int32_t videoBitRate = 0;  // bits per second, 0 = automatic
    int32_t audioCodecIndex = -1;
    std::string audioCodec;
    int32_t sampleRateIndex = -1;
    int32_t sampleRate = 0;  // Hz, 0 = automatic
    int32_t audioBitRateIndex = -1;
    int32_t audioBitRate = 0;  // bits per second, 0 = automatic
    int32_t channelsIndex = -1;
    int32_t channels = 0;  // 1 mono, 2 stereo, 0 automatic

    bool operator==(const OutputParams&) const = default;
};

// The six lists of the dialog, in the order it fills them.
enum class ParamList : int { VideoCodec = 0, VideoBitRate, AudioCodec, SampleRate, AudioBitRate, Channels };
constexpr int kParamListCount = 6;

// One list's selection: its position (-1 when nothing is selected) and its display text.
struct ParamChoice {
    int32_t index = -1;
    std::string text;
};
using ParamChoices = std::array<ParamChoice, kParamListCount>;

// The record the dialog hands over on confirmation: encoder names from CodecEncoderName,
// numbers parsed from the option texts ("自动" gives 0, "1.0Mbps" 1000000, "44100Hz" 44100,
// "单声道" 1).
OutputParams ParseOutputParams(int32_t taskId, const ParamChoices& choices);

}  // namespace tolvex
