#include "tasks/ClipCommands.h"

#include <gtest/gtest.h>

#include <thread>

using namespace tolvex;

TEST(ClipCommands, SplitAndGifTexts)
{
    const JobContext ctx{"ffmpeg", "/out", QTime(1, 2, 3)};
    SplitClip whole{7, "/v/a b.mp4", "a b-140309.mp4", "00:00:10", "00:01:05", 0, 0, 0, 1920, 1080};
    EXPECT_EQ(SplitCropFilter(whole), "[0]crop=1920:1080:0:0");
    EXPECT_EQ(BuildSplitCommand(ctx, whole).render(),
              "\"ffmpeg\" -y -i \"/v/a b.mp4\" -ss 00:00:10 -to 00:01:05 -filter_complex "
              "\"[0]crop=1920:1080:0:0\" \"/out/a b-140309.mp4\"");
    SplitClip cropped = whole;
    cropped.cropEnabled = 1;
    cropped.cropX = 10;
    cropped.cropY = 20;
    cropped.cropWidth = 320;
    cropped.cropHeight = 240;
    EXPECT_EQ(SplitCropFilter(cropped), "[0]crop=320:240:10:20");

    GifClip gif{3, "/v/a.mkv", "a-140309.gif", "0:0:1", "0:0:2"};
    EXPECT_EQ(BuildGifCommand(ctx, gif).render(),
              "\"ffmpeg\" -y -i \"/v/a.mkv\" -ss 0:0:1 -to 0:0:2 \"/out/a-140309.gif\"");
}

TEST(ClipCommands, CropOfATurnedVideoIsInTheUprightPicture)
{
    // Stored 1920x1080, shown upright as 1080x1920 after a quarter turn.
    const JobContext ctx{"ffmpeg", "/out", QTime(1, 2, 3)};
    SplitClip clip{1, "/v/p.mp4", "p-1.mp4", "0:0:0", "0:0:1", 0, 0, 0, 1920, 1080};
    const ProbedMedia turned{1.0, 1920, 1080, 90, true};
    EXPECT_EQ(UprightCrop(clip, 90, 1920, 1080), (CropRect{0, 0, 1080, 1920}));
    EXPECT_NE(BuildSplitCommand(ctx, clip, turned).render().find("[0]crop=1080:1920:0:0"), std::string::npos);
    // A rectangle at the stored top left corner lands at the upright top right (90° clockwise),
    // at the bottom left (270°), at the bottom right (180°).
    clip.cropEnabled = 1;
    clip.cropX = 100;
    clip.cropY = 50;
    clip.cropWidth = 400;
    clip.cropHeight = 300;
    EXPECT_EQ(UprightCrop(clip, 90, 1920, 1080), (CropRect{1080 - 50 - 300, 100, 300, 400}));
    EXPECT_EQ(UprightCrop(clip, 270, 1920, 1080), (CropRect{50, 1920 - 100 - 400, 300, 400}));
    EXPECT_EQ(UprightCrop(clip, 180, 1920, 1080), (CropRect{1920 - 100 - 400, 1080 - 50 - 300, 400, 300}));
    EXPECT_EQ(UprightCrop(clip, 0, 1920, 1080), (CropRect{100, 50, 400, 300}));
    // Without a turn (or a size) the clip's own rectangle is used.
    EXPECT_NE(BuildSplitCommand(ctx, clip).render().find("[0]crop=400:300:100:50"), std::string::npos);
}

TEST(ClipCommands, OutputNamesFixedAtAdd)
{
    EXPECT_EQ(GifClipOutputName("/any/folder/a.mkv", QTime(14, 3, 9)), "a-140309.gif");
    EXPECT_EQ(SplitClipOutputName("/any/folder/a.mkv", QTime(14, 3, 9)), "a-140309.mkv");
    EXPECT_EQ(SplitClipOutputName("C:\\v\\b.c.avi", QTime(0, 0, 1)), "b.c-000001.avi");
}

TEST(ClipRecords, HandOverDrainsInOrderAndTablesFindById)
{
    ClipHandOverList<GifClip> list;
    std::thread producer([&] {
        for (int i = 0; i < 3; ++i)
            list.append(GifClip{i, "s", "o" + std::to_string(i), "0:0:0", "0:0:1"});
    });
    producer.join();
    const auto taken = list.drain();
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[2].outputName, "o2");
    EXPECT_EQ(list.size(), 0u);
    EXPECT_TRUE(list.drain().empty());

    SplitClipTable table;
    table.add(SplitClip{41, "a", "a-1.mp4", "0:0:0", "0:0:1"});
    table.add(SplitClip{42, "b", "b-1.mp4", "0:0:0", "0:0:1"});
    ASSERT_TRUE(table.find(42));
    EXPECT_EQ(table.find(42)->sourcePath, "b");
    EXPECT_FALSE(table.find(43));
}
