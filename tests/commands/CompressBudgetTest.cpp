#include "media/CompressBudget.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tolvex;

namespace {

CompressProfile Mp4Profile()
{
    CompressProfile profile;
    profile.videoEncoder = "libx264";
    profile.videoFloorBitsPerPixel = 0.01;
    profile.audioEncoder = "aac";
    profile.audioRateExcess = 1.03;
    profile.container = {2000, 17.0, 0.0};
    return profile;
}

CompressSource Source(double seconds, int width, int height, int64_t audioRate, int channels = 2)
{
    CompressSource source;
    source.durationSeconds = seconds;
    source.hasVideo = true;
    source.width = width;
    source.height = height;
    source.frameRate = 25.0;
    source.hasAudio = audioRate > 0;
    source.audioBitRate = audioRate;
    source.channels = channels;
    source.sampleRate = 44100;
    return source;
}

// What the plan expects the file to weigh: payload at the planned rates plus the container.
double ExpectedBytes(const CompressBudget& budget, const CompressSource& source, const CompressProfile& profile)
{
    double packets = source.frameRate;
    double payload = static_cast<double>(budget.videoBitRate) * source.durationSeconds / 8.0;
    if (budget.audio) {
        packets += static_cast<double>(budget.audio->sampleRate) / profile.audioFrameSamples;
        payload += static_cast<double>(budget.audio->bitRate) * profile.audioRateExcess * source.durationSeconds / 8.0;
    }
    const ContainerCost& c = profile.container;
    return static_cast<double>(c.fixedBytes) + c.bytesPerPacket * packets * source.durationSeconds +
           payload * (1.0 + c.payloadShare);
}

}  // namespace

TEST(CompressBudget, SoundRateStaysOnTheLadderAndNeverAboveTheSource)
{
    // A rich total keeps the source's own rate (or the ladder step below it).
    EXPECT_EQ(ChooseAudioBitRate(5000000, 128000), 128000);
    EXPECT_EQ(ChooseAudioBitRate(5000000, 125000), 96000);
    EXPECT_EQ(ChooseAudioBitRate(5000000, 320000), 320000);
    // An unknown source rate counts as 128 kbit/s.
    EXPECT_EQ(ChooseAudioBitRate(5000000, 0), 128000);
    // A small total lowers the sound to its floor, never below.
    EXPECT_EQ(ChooseAudioBitRate(100000, 128000), 32000);
    EXPECT_EQ(ChooseAudioBitRate(0, 128000), 32000);
    EXPECT_EQ(ChooseAudioBitRate(-5, 64000), 32000);
    // In between: a share of the total.
    EXPECT_EQ(ChooseAudioBitRate(500000, 128000), 64000);
    // A source below the floor keeps its own rate.
    EXPECT_EQ(ChooseAudioBitRate(100000, 24500), 24000);
    EXPECT_EQ(ChooseAudioBitRate(100000, 3000), 8000);

    for (int64_t total = 0; total <= 4000000; total += 7919) {
        for (const int64_t sourceRate : {32000, 48000, 64000, 96000, 128000, 192000, 256000}) {
            const int64_t rate = ChooseAudioBitRate(total, sourceRate);
            EXPECT_LE(rate, sourceRate);
            EXPECT_GE(rate, kAudioFloorBitRate);
            EXPECT_LE(rate, ChooseAudioBitRate(total + 100000, sourceRate)) << "more room never means less sound";
        }
    }
}

TEST(CompressBudget, SampleRateIsOneTheEncoderTakes)
{
    const std::vector<int> opus = {48000, 24000, 16000, 12000, 8000};
    EXPECT_EQ(ChooseSampleRate(44100, opus), 48000);
    EXPECT_EQ(ChooseSampleRate(22050, opus), 24000);
    EXPECT_EQ(ChooseSampleRate(16000, opus), 16000);
    EXPECT_EQ(ChooseSampleRate(96000, opus), 48000);
    EXPECT_EQ(ChooseSampleRate(0, opus), 48000);
    EXPECT_EQ(ChooseSampleRate(32000, {}), 32000);
    EXPECT_EQ(ChooseSampleRate(-1, {}), 44100);
}

TEST(CompressBudget, RefusesWithoutDurationPictureOrRoom)
{
    const CompressProfile profile = Mp4Profile();
    for (const double seconds : {0.0, -1.0, std::nan(""), static_cast<double>(INFINITY)}) {
        EXPECT_EQ(PlanCompressBudget(1000000, Source(seconds, 640, 360, 64000), profile).refusal,
                  CompressRefusal::NoDuration);
    }
    CompressSource soundOnly = Source(10, 0, 0, 128000);
    soundOnly.hasVideo = false;
    EXPECT_EQ(PlanCompressBudget(1000000, soundOnly, profile).refusal, CompressRefusal::NoVideo);
    EXPECT_EQ(PlanCompressBudget(0, Source(10, 640, 360, 64000), profile).refusal, CompressRefusal::TooSmall);
    EXPECT_EQ(PlanCompressBudget(-100, Source(10, 640, 360, 0), profile).refusal, CompressRefusal::TooSmall);
    EXPECT_EQ(CompressRefusalText(CompressRefusal::TooSmall), "目标太小，无法压缩到该大小");
    EXPECT_TRUE(CompressRefusalText(CompressRefusal::None).empty());
    EXPECT_FALSE(CompressRefusalText(CompressRefusal::NoDuration).empty());
    EXPECT_FALSE(CompressRefusalText(CompressRefusal::NoVideo).empty());
}

TEST(CompressBudget, ModestSourceGetsItsSoundCutAndTinyTargetsRefused)
{
    // 20 s of 640x360 at 250 kbit/s picture and 64 kbit/s sound: about 790 kB.
    const CompressProfile profile = Mp4Profile();
    const CompressSource source = Source(20, 640, 360, 64000, 2);
    const int64_t size = 790000;

    const CompressBudget half = PlanCompressBudget(size / 2, source, profile);
    ASSERT_EQ(half.refusal, CompressRefusal::None);
    ASSERT_TRUE(half.audio);
    EXPECT_EQ(half.audio->bitRate, 32000);
    EXPECT_EQ(half.audio->channels, 1);
    EXPECT_EQ(half.audio->sampleRate, 44100);
    EXPECT_GT(half.videoBitRate, 80000);
    EXPECT_LT(half.videoBitRate, 130000);

    // A twentieth of the size leaves the picture a few kbit/s: refused, not attempted.
    EXPECT_EQ(PlanCompressBudget(size / 20, source, profile).refusal, CompressRefusal::TooSmall);
}

TEST(CompressBudget, PlanFitsUnderTheTargetAcrossSourcesAndTargets)
{
    CompressProfile mkv = Mp4Profile();
    mkv.audioEncoder = "libvorbis";
    mkv.audioRateExcess = 1.12;
    mkv.container = {6000, 10.0, 0.0};
    CompressProfile ts = Mp4Profile();
    ts.container = {4000, 120.0, 0.025};
    CompressProfile opus = Mp4Profile();
    opus.audioSampleRates = {48000, 24000, 16000, 12000, 8000};
    opus.audioFrameSamples = 960;

    int fitted = 0;
    int refused = 0;
    for (const CompressProfile& profile : {Mp4Profile(), mkv, ts, opus}) {
        for (const double seconds : {1.0, 3.0, 40.0, 3600.0}) {
            for (const auto& [w, h] : {std::pair{320, 240}, {640, 360}, {1920, 1080}}) {
                for (const int64_t audio : {0, 32000, 64000, 128000, 320000}) {
                    for (int64_t total = 20000; total < 40000000; total = total * 3 / 2) {
                        const CompressSource source = Source(seconds, w, h, audio, audio > 64000 ? 6 : 1);
                        const auto target = static_cast<int64_t>(static_cast<double>(total) * seconds / 8.0);
                        const CompressBudget budget = PlanCompressBudget(target, source, profile);
                        const double floor = std::max(20000.0, profile.videoFloorBitsPerPixel * w * h * 25.0);
                        if (budget.refusal != CompressRefusal::None) {
                            ASSERT_EQ(budget.refusal, CompressRefusal::TooSmall);
                            ++refused;
                            continue;
                        }
                        ++fitted;
                        EXPECT_GE(static_cast<double>(budget.videoBitRate), floor - 1.0);
                        EXPECT_EQ(budget.plannedBytes, static_cast<int64_t>(target * kCompressAim));
                        EXPECT_NEAR(ExpectedBytes(budget, source, profile), budget.plannedBytes,
                                    budget.plannedBytes * 0.001 + 2.0);
                        ASSERT_EQ(budget.audio.has_value(), audio > 0);
                        if (budget.audio) {
                            EXPECT_LE(budget.audio->bitRate, audio);
                            EXPECT_GE(budget.audio->channels, 1);
                            EXPECT_LE(budget.audio->channels, 2);
                            if (!profile.audioSampleRates.empty()) {
                                EXPECT_EQ(budget.audio->sampleRate, 48000);
                            }
                        }
                        // A larger target never gets a smaller picture.
                        const CompressBudget more = PlanCompressBudget(target * 2, source, profile);
                        EXPECT_EQ(more.refusal, CompressRefusal::None);
                        EXPECT_GE(more.videoBitRate, budget.videoBitRate);
                    }
                }
            }
        }
    }
    EXPECT_GT(fitted, 1000);
    EXPECT_GT(refused, 100);
}
