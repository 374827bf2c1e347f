#pragma once

// How a compress job spends the size it promised: the sound first, the container's own
// bytes next, the rest for the picture. Pure arithmetic over what the probe found and what
// the chosen container and encoders are known to cost; no I/O.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvex {

// The input as the budget sees it.
struct CompressSource {
    double durationSeconds = 0.0;
    bool hasVideo = false;
    int width = 0;  // the output frame: the chosen size, else the input's own
    int height = 0;
    double frameRate = 0.0;  // 0 when unknown
    bool hasAudio = false;
    int64_t audioBitRate = 0;  // bits per second; 0 when unknown
    int audioTracks = 1;       // the sound tracks the output keeps, each at the same rate
    int channels = 0;
    int sampleRate = 0;
};

// The bytes a container adds to the encoded streams: once per file, per packet, and a
// share of the payload (transport streams cut everything into small packets of their own).
struct ContainerCost {
    int64_t fixedBytes = 0;
    double bytesPerPacket = 0.0;
    double payloadShare = 0.0;
};

// What the output container and its encoders cost and accept.
struct CompressProfile {
    std::string videoEncoder;
    // Below this many bits per pixel and frame the picture is no longer watchable, and the
    // encoder's coarsest quantiser may not even reach the rate.
    double videoFloorBitsPerPixel = 0.01;
    bool videoBufferLimit = false;  // the encoder takes a rate buffer that keeps short clips on their rate
    std::string audioEncoder;
    std::vector<int> audioSampleRates;  // the rates encoder and container accept; empty: any
    int audioFrameSamples = 1024;
    double audioRateExcess = 1.0;  // how far the audio encoder may exceed the rate it is given
    ContainerCost container;
};

struct AudioBudget {
    int64_t bitRate = 0;
    int channels = 0;
    int sampleRate = 0;
};

enum class CompressRefusal {
    None,
    NoDuration,  // the probe found no positive duration
    NoVideo,     // nothing to compress: the file has no picture
    TooSmall,    // the picture would fall below its floor
};

struct CompressBudget {
    CompressRefusal refusal = CompressRefusal::None;
    int64_t videoBitRate = 0;
    std::optional<AudioBudget> audio;  // empty when the input has no sound
    int64_t plannedBytes = 0;          // what the file should come to: a little under the target
};

// The planned size as a share of the target: the encoders' spread around their rates
// then stays under the target and well above 85 % of it.
constexpr double kCompressAim = 0.97;
// The least sound worth keeping, and the share of the rate the sound may take above it.
constexpr int64_t kAudioFloorBitRate = 32000;
constexpr double kAudioShare = 0.15;
// The least picture rate for any frame size.
constexpr int64_t kVideoFloorBitRate = 20000;

// `soundBytes`, once the sound has been encoded, is what it really weighs: a quiet or
// simple track takes far less than its rate, and the picture gets the difference.
CompressBudget PlanCompressBudget(int64_t targetBytes, const CompressSource& source, const CompressProfile& profile,
                                  std::optional<int64_t> soundBytes = std::nullopt);

// The sound's rate for a total rate: a step of the usual ladder, never above the source's
// own rate (an unknown source rate counts as 128 kbit/s).
int64_t ChooseAudioBitRate(int64_t totalBitRate, int64_t sourceBitRate);
// The source's rate when the encoder and container take it, else the nearest accepted
// rate above it, else the highest accepted one. An unknown source rate counts as 44100.
int ChooseSampleRate(int sourceRate, const std::vector<int>& accepted);

// The user's text for a refusal; empty for None.
std::string CompressRefusalText(CompressRefusal refusal);

}  // namespace tolvex
