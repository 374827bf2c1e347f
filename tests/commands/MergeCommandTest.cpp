#include "tasks/MergeCommand.h"

#include <gtest/gtest.h>

using namespace tolvex;

namespace {

MergeSource Source(const char* path, int w, int h, bool rotated = false, double duration = 2.0)
{
    return MergeSource{path, w, h, rotated, duration};
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
    const MergeJob job = BuildMergeJob(kContext, {Source("/v/a.mp4", 1920, 1080), Source("/v/b.mp4", 1280, 720, false, 3.5)},
                                       {"mp4", "自动"});
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

TEST(MergeCommand, GeometryOfTheDescribedCases)
{
    // Smaller first item: the larger second one is scaled down to the frame.
    MergeJob job = BuildMergeJob(kContext, {Source("a", 1280, 720), Source("b", 1920, 1080)}, {"mp4", "自动"});
    EXPECT_EQ(Chain(job, 1), "[1:v]scale=1280:720,pad=1280:720:0:0[v1]");
    // A tall second item into 1280x720 is squeezed vertically, not letterboxed.
    job = BuildMergeJob(kContext, {Source("a", 1280, 720), Source("b", 1080, 1920)}, {"mp4", "自动"});
    EXPECT_EQ(Chain(job, 1), "[1:v]scale=1080:720,pad=1280:720:100:0[v1]");
    // A rotated first item counts as tall.
    job = BuildMergeJob(kContext, {Source("a", 1920, 1080, true), Source("b", 640, 360)}, {"mp4", "自动"});
    EXPECT_EQ(Chain(job, 0), "[0:v]scale=1080:1920,pad=1080:1920:0:0[v0]");
    EXPECT_EQ(Chain(job, 1), "[1:v]scale=640:360,pad=1080:1920:220:780[v1]");
    // A wide item keeps its aspect inside the frame width.
    job = BuildMergeJob(kContext, {Source("a", 640, 360), Source("b", 1920, 800)}, {"mp4", "1280x720"});
    EXPECT_EQ(Chain(job, 1), "[1:v]scale=1280:533,pad=1280:720:0:93[v1]");
    // An explicit frame: the texts around the last "x".
    const MergeFrame frame = MergeTargetFrame({}, "1920x1080");
    EXPECT_EQ(frame.width, 1920);
    EXPECT_EQ(frame.heightText, "1080");
    EXPECT_EQ(MergeTargetFrame({}, "garbage").widthText, "1280");
}

TEST(MergeCommand, ElevenItemsLabelWithTwoDigitIndexes)
{
    std::vector<MergeSource> sources(11, Source("x", 640, 360, false, 1.0));
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
