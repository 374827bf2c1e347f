#include "tasks/SingleInputCommands.h"

#include "media/OutputContainer.h"
#include "tests/commands/CommandTestItems.h"

#include <gtest/gtest.h>

using namespace tolvex;

namespace {

using test::Item;
using test::kContext;

}  // namespace

TEST(RotateCommand, RendersItsCommandAndNoFilterForAnUnknownChoice)
{
    // What each choice does to the picture is checked on real frames in RotatePictureTest.
    EXPECT_EQ(RotateFilter(-1), "");
    EXPECT_EQ(RotateFilter(8), "");
    EXPECT_EQ(BuildRotateCommand(kContext, Item("a.b.mkv"), {6}).render(),
              "\"/usr/bin/ffmpeg\" -i \"/in/a.b.mkv\" -vf \"hflip\" \"/out/a.b-090807.mkv\"");
    EXPECT_EQ(BuildRotateCommand(kContext, Item("a.mp4"), {-1}).render(),
              "\"/usr/bin/ffmpeg\" -i \"/in/a.mp4\" -vf \"\" \"/out/a-090807.mp4\"");
}

TEST(ExtractCommand, DropsVideoAndTakesThePageFormat)
{
    EXPECT_EQ(BuildExtractCommand(kContext, Item("song.mp4"), {"flac"}).render(),
              "\"/usr/bin/ffmpeg\" -i \"/in/song.mp4\" -vn \"/out/song-090807.flac\"");
}

TEST(MuteCommand, VolumeTexts)
{
    EXPECT_EQ(MuteVolumeText({true, 7}), "0");
    EXPECT_EQ(MuteVolumeText({false, 0}), "0dB");
    EXPECT_EQ(MuteVolumeText({false, -5}), "-5dB");
    EXPECT_EQ(BuildMuteCommand(kContext, Item("v.avi"), {false, 6}).render(),
              "\"/usr/bin/ffmpeg\" -i \"/in/v.avi\" -filter_complex \"volume=6dB\" \"/out/v-090807.avi\"");
}

TEST(MusicCommand, LoopReplaceAndVolumes)
{
    EXPECT_EQ(BuildMusicCommand(kContext, Item("v.mp4"), {"/m/bg.mp3", true, false, -3, 4}).render(),
              "\"/usr/bin/ffmpeg\" -i \"/in/v.mp4\" -stream_loop -1 -i \"/m/bg.mp3\" -filter_complex "
              "\"[0:a]volume=-3dB[a0],[1:a]volume=4dB[a1],[a0][a1]amix=inputs=2:duration=first\" "
              "\"/out/v-090807.mp4\"");
    // Replacing silences the video's own sound; the music still follows its slider.
    EXPECT_EQ(BuildMusicCommand(kContext, Item("v.mp4"), {"/m/bg.mp3", false, true, -3, 2}).render(),
              "\"/usr/bin/ffmpeg\" -i \"/in/v.mp4\" -i \"/m/bg.mp3\" -filter_complex "
              "\"[0:a]volume=0[a0],[1:a]volume=2dB[a1],[a0][a1]amix=inputs=2:duration=first\" "
              "\"/out/v-090807.mp4\"");
}

TEST(MuteAndMusicCommands, InputWithoutSound)
{
    // Nothing to silence: the video is written as it is.
    EXPECT_EQ(BuildMuteCommand(kContext, Item("v.avi"), {true, 0}, false).render(),
              "\"/usr/bin/ffmpeg\" -i \"/in/v.avi\" \"/out/v-090807.avi\"");
    // The music becomes the sound track, padded or cut to the picture's length.
    EXPECT_EQ(BuildMusicCommand(kContext, Item("v.mp4"), {"/m/bg.mp3", true, false, -3, 4}, false).render(),
              "\"/usr/bin/ffmpeg\" -i \"/in/v.mp4\" -stream_loop -1 -i \"/m/bg.mp3\" -filter_complex "
              "\"[1:a]volume=4dB,apad[a1]\" -map 0:v -map \"[a1]\" -shortest \"/out/v-090807.mp4\"");
}

TEST(OwnFormatPages, ProbedContainerStandsInForAMissingExtension)
{
    EXPECT_EQ(BuildRotateCommand(kContext, Item("phone-video"), {6}, "mp4").render(),
              "\"/usr/bin/ffmpeg\" -i \"/in/phone-video\" -vf \"hflip\" \"/out/phone-video-090807.mp4\"");
    EXPECT_EQ(BuildMuteCommand(kContext, Item("phone-video"), {true, 0}, true, "mp4").argv().back(),
              "/out/phone-video-090807.mp4");

    // Which names need the probe, and what a probed container becomes.
    EXPECT_TRUE(MuxerKnowsExtension("mkv"));
    EXPECT_FALSE(MuxerKnowsExtension(""));
    EXPECT_FALSE(MuxerKnowsExtension("backup"));
    EXPECT_EQ(ExtensionForDemuxer("mov,mp4,m4a,3gp,3g2,mj2"), "mp4");
    EXPECT_EQ(ExtensionForDemuxer("matroska,webm"), "mkv");
    EXPECT_EQ(ExtensionForDemuxer("mpegts"), "ts");
    EXPECT_EQ(ExtensionForDemuxer("asf"), "wmv");
    EXPECT_EQ(ExtensionForDemuxer("wav"), "mkv");
    EXPECT_EQ(ExtensionForDemuxer(""), "mkv");
}
