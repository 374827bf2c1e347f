#include "tasks/MergeCommand.h"

#include <gtest/gtest.h>

using namespace tolvex;

namespace {

MergeSource Source(const char* path, int w, int h, int turn = 0, double duration = 2.0, bool audio = true)
{
    return MergeSource{path, w, h, turn, duration, audio};
}

std::string Chain(const MergeJob& job, int index)
{
    const std::string key = "[" + std::to_string(index) + ":v]";
    const auto start = job.videoChains.find(key);
    const auto end = job.videoChains.find(';', start);
    return job.videoChains.substr(start, end - start);
}

const JobContext kContext{"ffmpeg", "/out", QTime(12, 0, 5)};

}  // namespace

TEST(MergeCommand, WholeCommandText)
{
    const MergeJob job = BuildMergeJob(
        kContext, {Source("/v/a.mp4", 1920, 1080), Source("/v/b.mp4", 1280, 720, 0, 3.5)}, {"mp4", "自动"});
    EXPECT_EQ(job.command.render(),
              "\"ffmpeg\"  -i \"/v/a.mp4\" -i \"/v/b.mp4\" -vsync 2 -filter_complex "
              "\"[0:v]scale=1920:1080,pad=1920:1080:0:0[v0];[v0]setdar=1920/1080[v00];"
              "[1:v]scale=1280:720,pad=1920:1080:320:180[v1];[v1]setdar=1920/1080[v11];"
              "[v00][0:a][v11][1:a]concat=n=2:v=1:a=1 [v][a]\" -map \"[v]\" -map \"[a]\" "
              "\"/out/视频合并-120005.mp4\"");
    EXPECT_DOUBLE_EQ(job.totalDuration, 5.5);
    EXPECT_EQ(job.outputName, "视频合并-120005.mp4");
    EXPECT_EQ(job.command.argv().at(1), "-i");  // the blank is not an argument
}

TEST(MergeCommand, InputsKeepTheirAspectInsideTheFrame)
{
    // Smaller first item: the larger second one is scaled down to the frame.
    MergeJob job = BuildMergeJob(kContext, {Source("a", 1280, 720), Source("b", 1920, 1080)}, {"mp4", "自动"});
    EXPECT_EQ(Chain(job, 1), "[1:v]scale=1280:720,pad=1280:720:0:0[v1]");
    // A tall phone video into 1280x720 is scaled to the frame height and centred, not squashed.
    job = BuildMergeJob(kContext, {Source("a", 1280, 720), Source("b", 1080, 1920)}, {"mp4", "自动"});
    EXPECT_EQ(Chain(job, 1), "[1:v]scale=404:720,pad=1280:720:438:0[v1]");
    // A 4:3 video into a 16:9 frame is pillarboxed, not stretched.
    job = BuildMergeJob(kContext, {Source("a", 1920, 1080), Source("b", 1440, 1080)}, {"mp4", "自动"});
    EXPECT_EQ(Chain(job, 1), "[1:v]scale=1440:1080,pad=1920:1080:240:0[v1]");
    // Never scaled up: a small item is centred at its own size.
    job = BuildMergeJob(kContext, {Source("a", 1920, 1080), Source("b", 320, 240)}, {"mp4", "自动"});
    EXPECT_EQ(Chain(job, 1), "[1:v]scale=320:240,pad=1920:1080:800:420[v1]");
    // A wide item keeps its aspect inside the frame width; the scaled sides are even.
    job = BuildMergeJob(kContext, {Source("a", 640, 360), Source("b", 1920, 800)}, {"mp4", "1280x720"});
    EXPECT_EQ(Chain(job, 1), "[1:v]scale=1280:532,pad=1280:720:0:94[v1]");
}

TEST(MergeCommand, FirstItemFollowsAChosenFrameAndDefinesAnAutomaticOne)
{
    // A chosen frame smaller than the first item: it is fitted like the others.
    MergeJob job = BuildMergeJob(kContext, {Source("a", 1920, 1080), Source("b", 640, 480)}, {"mp4", "1280x720"});
    EXPECT_EQ(Chain(job, 0), "[0:v]scale=1280:720,pad=1280:720:0:0[v0]");
    EXPECT_EQ(Chain(job, 1), "[1:v]scale=640:480,pad=1280:720:320:120[v1]");
    // A smaller first item is centred in a chosen frame.
    job = BuildMergeJob(kContext, {Source("a", 640, 360), Source("b", 640, 360)}, {"mp4", "1280x720"});
    EXPECT_EQ(Chain(job, 0), "[0:v]scale=640:360,pad=1280:720:320:180[v0]");
    // "自动": the first item's upright size; a quarter turn exchanges the sides, a half turn does not.
    job = BuildMergeJob(kContext, {Source("a", 1920, 1080, 90), Source("b", 640, 360)}, {"mp4", "自动"});
    EXPECT_EQ(Chain(job, 0), "[0:v]scale=1080:1920,pad=1080:1920:0:0[v0]");
    EXPECT_EQ(Chain(job, 1), "[1:v]scale=640:360,pad=1080:1920:220:780[v1]");
    job = BuildMergeJob(kContext, {Source("a", 1920, 1080, 180), Source("b", 640, 360)}, {"mp4", "自动"});
    EXPECT_EQ(Chain(job, 0), "[0:v]scale=1920:1080,pad=1920:1080:0:0[v0]");
    // Odd sizes, chosen or found, are rounded down to even ones.
    job = BuildMergeJob(kContext, {Source("a", 641, 361), Source("b", 641, 361)}, {"mp4", "自动"});
    EXPECT_EQ(Chain(job, 0), "[0:v]scale=640:360,pad=640:360:0:0[v0]");
    const MergeFrame odd = MergeTargetFrame({}, "1281x719");
    EXPECT_EQ(odd.width, 1280);
    EXPECT_EQ(odd.heightText, "718");
    EXPECT_EQ(MergeTargetFrame({}, "garbage").widthText, "1280");
}

TEST(MergeCommand, InputWithoutSoundGetsSilenceOfItsLength)
{
    const MergeJob job =
        BuildMergeJob(kContext, {Source("a", 640, 360), Source("b", 640, 360, 0, 2.5, false), Source("c", 640, 360)},
                      {"mp4", "自动"});
    EXPECT_EQ(job.concatInputs, "[v00][0:a][v11][s1][v22][2:a]");
    EXPECT_NE(job.command.render().find("[v22];anullsrc=r=48000:cl=stereo,atrim=duration=2.500[s1];[v00][0:a]"),
              std::string::npos)
        << job.command.render();
}

TEST(MergeCommand, FailureNamesTheInputFfmpegBlames)
{
    const std::vector<MergeSource> sources = {Source("/v/a.mp4", 1, 1), Source("/v/a.mp4.mkv", 1, 1),
                                              Source("/v/c.mp4", 1, 1)};
    EXPECT_EQ(MergeInputNamedIn("/v/a.mp4.mkv: Invalid data found when processing input", sources), 1);
    EXPECT_EQ(MergeInputNamedIn("/v/a.mp4: No such file or directory", sources), 0);
    EXPECT_EQ(MergeInputNamedIn("Error while decoding stream #2:0: Invalid data", sources), 2);
    EXPECT_EQ(MergeInputNamedIn("Error opening input #7", sources), -1);  // no such input
    EXPECT_EQ(MergeInputNamedIn("Conversion failed!", sources), -1);
}

TEST(MergeCommand, ElevenItemsLabelWithTwoDigitIndexes)
{
    std::vector<MergeSource> sources(11, Source("x", 640, 360, 0, 1.0));
    const MergeJob job = BuildMergeJob(kContext, sources, {"mkv", "640x360"});
    EXPECT_NE(job.videoChains.find("[10:v]scale=640:360,pad=640:360:0:0[v10];[v10]setdar=640/360[v1010];"),
              std::string::npos);
    EXPECT_NE(job.concatInputs.find("[v1010][10:a]"), std::string::npos);
    EXPECT_NE(job.command.render().find("concat=n=11:v=1:a=1 [v][a]"), std::string::npos);
    EXPECT_DOUBLE_EQ(job.totalDuration, 11.0);
    int inputs = 0;
    for (const auto& a : job.command.argv())
        inputs += a == "-i";
    EXPECT_EQ(inputs, 11);
}
