#include "media/CompressFormat.h"
#include "tasks/CompressCommand.h"
#include "tests/commands/CommandTestItems.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tolvex;

namespace {

using test::Item;
using test::kContext;

CompressSource Source(double seconds, bool audio = true)
{
    CompressSource source;
    source.durationSeconds = seconds;
    source.hasVideo = true;
    source.width = 1280;
    source.height = 720;
    source.frameRate = 30.0;
    source.hasAudio = audio;
    source.audioBitRate = 128000;
    source.channels = 2;
    source.sampleRate = 44100;
    return source;
}

std::vector<std::string> Argv(const CommandLine& command)
{
    return command.argv();
}

// The value after an option, or "" when the option is absent.
std::string After(const CommandLine& command, const std::string& option)
{
    const auto argv = Argv(command);
    const auto it = std::find(argv.begin(), argv.end(), option);
    return it == argv.end() || it + 1 == argv.end() ? std::string() : *(it + 1);
}

bool Has(const CommandLine& command, const std::string& token)
{
    const auto argv = Argv(command);
    return std::find(argv.begin(), argv.end(), token) != argv.end();
}

}  // namespace

TEST(CompressCommand, TargetIsThePagesEstimate)
{
    EXPECT_EQ(CompressTargetBytes(100000000, 30), 70000000);
    // 100 counts as 99: one hundredth of the size remains.
    EXPECT_EQ(CompressTargetBytes(100000000, 100), 1000000);
    EXPECT_EQ(CompressTargetBytes(100000000, 99), 1000000);
    EXPECT_EQ(CompressTargetBytes(100000000, 0), 100000000);
    EXPECT_EQ(CompressTargetBytes(8000000000LL, 50), 4000000000LL);
}

TEST(CompressCommand, BothPassesShareThePictureAndOnlyTheSecondWritesTheFile)
{
    const CompressJob job = BuildCompressJob(kContext, Item("clip.mov", 20000000), {"原格式", "640x480", 30},
                                             Source(60), EncoderSupport::system(), "/tmp/t/pass");
    ASSERT_EQ(job.refusal, CompressRefusal::None);
    EXPECT_EQ(job.targetBytes, 14000000);
    EXPECT_EQ(job.outputPath, "/out/clip-090807.mov");

    for (const CommandLine* pass : {&job.analysis, &job.encode}) {
        EXPECT_EQ(pass->program(), "/usr/bin/ffmpeg");
        EXPECT_EQ(After(*pass, "-i"), "/in/clip.mov");
        EXPECT_EQ(After(*pass, "-s"), "640x480");
        EXPECT_EQ(After(*pass, "-c:v"), "libx264");
        EXPECT_EQ(After(*pass, "-b:v"), std::to_string(job.budget.videoBitRate));
        EXPECT_EQ(After(*pass, "-fps_mode"), "cfr");
        EXPECT_EQ(After(*pass, "-passlogfile"), "/tmp/t/pass");
    }
    EXPECT_EQ(After(job.analysis, "-pass"), "1");
    // x264 analyses with a short lookahead; the pass that writes keeps its own.
    EXPECT_EQ(After(job.analysis, "-rc-lookahead"), "10");
    EXPECT_FALSE(Has(job.encode, "-rc-lookahead"));
    EXPECT_EQ(After(job.analysis, "-f"), "null");
    EXPECT_TRUE(Has(job.analysis, "-an"));
    EXPECT_FALSE(Has(job.analysis, "/out/clip-090807.mov"));

    EXPECT_EQ(After(job.encode, "-pass"), "2");
    EXPECT_EQ(Argv(job.encode).back(), "/out/clip-090807.mov");
    EXPECT_EQ(After(job.encode, "-c:a"), "aac");
    EXPECT_EQ(After(job.encode, "-b:a"), std::to_string(job.budget.audio->bitRate));
    EXPECT_EQ(After(job.encode, "-ac"), "2");
    EXPECT_EQ(After(job.encode, "-ar"), "44100");
    // The frame of 640x480 at 30 frames, the sound at full rate: the picture gets the rest.
    EXPECT_EQ(job.budget.audio->bitRate, 128000);
    EXPECT_GT(job.budget.videoBitRate, 1500000);
    EXPECT_LT(job.budget.videoBitRate, 14000000 * 8 / 60);

    for (const char* suffix : {"-0.log", "-0.log.mbtree"}) {
        EXPECT_NE(std::find(job.passLogFiles.begin(), job.passLogFiles.end(), std::string("/tmp/t/pass") + suffix),
                  job.passLogFiles.end());
    }
}

TEST(CompressCommand, ContainersGetTheirFrameModeAndAcceptedSoundRate)
{
    const CompressJob mkv = BuildCompressJob(kContext, Item("a.mkv", 20000000), {"原格式", "原分辨率", 50}, Source(60),
                                             EncoderSupport::system(), "/tmp/p");
    EXPECT_EQ(After(mkv.encode, "-fps_mode"), "vfr");
    EXPECT_EQ(After(mkv.analysis, "-fps_mode"), "vfr");
    EXPECT_FALSE(Has(mkv.encode, "-s"));

    // Opus in webm takes 48 kHz, not the source's 44.1.
    const CompressJob webm = BuildCompressJob(kContext, Item("a.mp4", 20000000), {"webm", "原分辨率", 50}, Source(60),
                                              EncoderSupport::system(), "/tmp/p");
    ASSERT_EQ(webm.refusal, CompressRefusal::None);
    EXPECT_EQ(webm.outputPath, "/out/a-090807.webm");
    EXPECT_EQ(After(webm.encode, "-c:a"), "libopus");
    EXPECT_EQ(After(webm.encode, "-ar"), "48000");

    // An odd frame is cut to even sizes, which the encoders need; a chosen size stands.
    CompressSource odd = Source(60);
    odd.width = 853;
    odd.height = 479;
    const CompressJob cut = BuildCompressJob(kContext, Item("a.mp4", 20000000), {"原格式", "原分辨率", 50}, odd,
                                             EncoderSupport::system(), "/tmp/p");
    EXPECT_EQ(After(cut.analysis, "-vf"), "scale=trunc(iw/2)*2:trunc(ih/2)*2");
    EXPECT_EQ(After(cut.encode, "-vf"), "scale=trunc(iw/2)*2:trunc(ih/2)*2");
    const CompressJob sized = BuildCompressJob(kContext, Item("a.mp4", 20000000), {"原格式", "640x360", 50}, odd,
                                               EncoderSupport::system(), "/tmp/p");
    EXPECT_FALSE(Has(sized.encode, "-vf"));
    EXPECT_FALSE(Has(mkv.encode, "-vf"));

    // A name without a usable extension keeps the container the factory found.
    const CompressJob bare = BuildCompressJob(kContext, Item("clip", 20000000), {"原格式", "原分辨率", 50}, Source(60),
                                              EncoderSupport::system(), "/tmp/p", "mkv");
    EXPECT_EQ(bare.outputPath, "/out/clip-090807.mkv");
    EXPECT_EQ(After(bare.encode, "-fps_mode"), "vfr");

    // No sound: none is made.
    const CompressJob silent = BuildCompressJob(kContext, Item("a.mp4", 20000000), {"原格式", "原分辨率", 50},
                                                Source(60, false), EncoderSupport::system(), "/tmp/p");
    EXPECT_TRUE(Has(silent.encode, "-an"));
    EXPECT_FALSE(Has(silent.encode, "-c:a"));

    // FLV gets H.264 with AAC, which hold a size far better than its old codecs.
    const CompressFormat flv = CompressFormatFor("FLV", EncoderSupport::system());
    EXPECT_EQ(flv.profile.videoEncoder, "libx264");
    EXPECT_EQ(flv.profile.audioEncoder, "aac");
    const CompressFormat avi = CompressFormatFor("avi", EncoderSupport::system());
    EXPECT_EQ(avi.profile.videoEncoder, "mpeg4");
    EXPECT_EQ(avi.fpsMode, "cfr");
    EXPECT_GT(avi.profile.videoFloorBitsPerPixel, flv.profile.videoFloorBitsPerPixel);
}

TEST(CompressCommand, RefusalsFailBeforeAnythingRuns)
{
    // An unreadable file, and a target the picture cannot live on.
    const CompressJob unreadable = BuildCompressJob(kContext, Item("x.mp4", 1000), {"原格式", "原分辨率", 50},
                                                    std::nullopt, EncoderSupport::system(), "/tmp/p");
    const CompressJob tiny = BuildCompressJob(kContext, Item("x.mp4", 1000000), {"原格式", "原分辨率", 90}, Source(60),
                                              EncoderSupport::system(), "/tmp/p");
    EXPECT_EQ(tiny.refusal, CompressRefusal::TooSmall);
    for (const CompressJob* job : {&unreadable, &tiny}) {
        const JobPlan plan = CompressJobPlan(*job);
        EXPECT_EQ(plan.action, JobPlan::Action::Fail);
        EXPECT_EQ(plan.reason, CompressRefusalText(job->refusal));
        EXPECT_TRUE(job->analysis.args().empty());
        EXPECT_TRUE(job->encode.args().empty());
    }
    EXPECT_EQ(CompressJobPlan(tiny).reason, "目标太小，无法压缩到该大小");
    EXPECT_TRUE(IsCompressVerdict(CompressJobPlan(tiny).reason));
    EXPECT_TRUE(IsCompressVerdict(CompressJobPlan(unreadable).reason));
    EXPECT_FALSE(IsCompressVerdict("ffmpeg exited with status 1: Conversion failed!"));
    EXPECT_FALSE(IsCompressVerdict(""));
}
