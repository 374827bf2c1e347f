#include "media/CompressBudget.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace tolvex {

namespace {

// Rates every common audio encoder takes as they are (MP3's constant rates included).
constexpr int64_t kAudioLadder[] = {32000, 48000, 64000, 96000, 128000, 160000, 192000, 256000, 320000};
constexpr int64_t kUnknownAudioBitRate = 128000;
constexpr int kUnknownSampleRate = 44100;
// A frame rate the probe could not tell.
constexpr double kUnknownFrameRate = 25.0;

CompressBudget Refused(CompressRefusal refusal)
{
    CompressBudget budget;
    budget.refusal = refusal;
    return budget;
}

}  // namespace

int64_t ChooseAudioBitRate(int64_t totalBitRate, int64_t sourceBitRate)
{
    const int64_t source = sourceBitRate > 0 ? sourceBitRate : kUnknownAudioBitRate;
    if (source < kAudioLadder[0]) {
        // A source already below the floor keeps its own rate, in whole kbit/s.
        return std::max<int64_t>(8000, source / 1000 * 1000);
    }
    const auto share = static_cast<int64_t>(static_cast<double>(std::max<int64_t>(totalBitRate, 0)) * kAudioShare);
    const int64_t cap = std::min(source, std::max(kAudioFloorBitRate, share));
    int64_t chosen = kAudioLadder[0];
    for (const int64_t step : kAudioLadder) {
        if (step <= cap)
            chosen = step;
    }
    return chosen;
}

int ChooseSampleRate(int sourceRate, const std::vector<int>& accepted)
{
    const int wanted = sourceRate > 0 ? sourceRate : kUnknownSampleRate;
    if (accepted.empty())
        return wanted;
    int above = 0;
    int highest = 0;
    for (const int rate : accepted) {
        if (rate == wanted)
            return rate;
        if (rate > wanted && (above == 0 || rate < above))
            above = rate;
        highest = std::max(highest, rate);
    }
    return above != 0 ? above : highest;
}

CompressBudget PlanCompressBudget(int64_t targetBytes, const CompressSource& source, const CompressProfile& profile,
                                  std::optional<int64_t> soundBytes)
{
    const double seconds = source.durationSeconds;
    if (!(seconds > 0.0) || !std::isfinite(seconds))
        return Refused(CompressRefusal::NoDuration);
    if (!source.hasVideo)
        return Refused(CompressRefusal::NoVideo);

    const double aimBytes = static_cast<double>(std::max<int64_t>(targetBytes, 0)) * kCompressAim;
    const auto totalBitRate = static_cast<int64_t>(aimBytes * 8.0 / seconds);
    const double frameRate = source.frameRate > 0.0 ? source.frameRate : kUnknownFrameRate;

    CompressBudget budget;
    double packetsPerSecond = frameRate;
    double audioBytes = 0.0;
    if (source.hasAudio) {
        AudioBudget audio;
        // Several tracks share the sound's part of the rate.
        const int tracks = std::max(1, source.audioTracks);
        audio.bitRate = ChooseAudioBitRate(totalBitRate / tracks, source.audioBitRate);
        // Two channels at most; a low rate sounds better in one.
        const int channels = std::clamp(source.channels, 1, 2);
        audio.channels = audio.bitRate <= 48000 ? 1 : channels;
        audio.sampleRate = ChooseSampleRate(source.sampleRate, profile.audioSampleRates);
        packetsPerSecond += tracks * static_cast<double>(audio.sampleRate) / std::max(1, profile.audioFrameSamples);
        audioBytes = soundBytes ? static_cast<double>(*soundBytes)
                                : tracks * static_cast<double>(audio.bitRate) * profile.audioRateExcess * seconds / 8.0;
        budget.audio = audio;
    }

    const ContainerCost& cost = profile.container;
    const double packetBytes = cost.bytesPerPacket * packetsPerSecond * seconds;
    const double payloadBytes =
        (aimBytes - static_cast<double>(cost.fixedBytes) - packetBytes) / (1.0 + cost.payloadShare);
    const double videoBytes = payloadBytes - audioBytes;
    const double videoBitRate = videoBytes * 8.0 / seconds;

    const double pixels = static_cast<double>(std::max(source.width, 0)) * std::max(source.height, 0);
    const double floor =
        std::max(static_cast<double>(kVideoFloorBitRate), profile.videoFloorBitsPerPixel * pixels * frameRate);
    if (!(videoBitRate >= floor))
        return Refused(CompressRefusal::TooSmall);

    budget.videoBitRate = static_cast<int64_t>(videoBitRate);
    budget.plannedBytes = static_cast<int64_t>(aimBytes);
    return budget;
}

// Source texts of the translation context "JobFailure": the window translates them when it
// shows a failed item; the engine compares and logs them as they are.
std::string CompressRefusalText(CompressRefusal refusal)
{
    switch (refusal) {
    case CompressRefusal::None:
        return {};
    case CompressRefusal::NoDuration:
        return QT_TRANSLATE_NOOP("JobFailure", "无法读取视频时长，不能计算压缩码率");
    case CompressRefusal::NoVideo:
        return QT_TRANSLATE_NOOP("JobFailure", "文件中没有视频，无法压缩");
    case CompressRefusal::TooSmall:
        return QT_TRANSLATE_NOOP("JobFailure", "目标太小，无法压缩到该大小");
    }
    return {};
}

}  // namespace tolvex
