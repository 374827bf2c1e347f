#include "app/Helpers.h"
#include "tasks/ClipCommands.h"
#include "tasks/OutputReservation.h"
#include "tasks/ThumbnailMaker.h"

#include <QFileInfo>

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
    // The rectangle goes to ffmpeg as the dialog gave it, whatever turn the picture has.
    EXPECT_NE(BuildSplitCommand(ctx, cropped).render().find("\"[0]crop=320:240:10:20\""), std::string::npos);

    GifClip gif{3, "/v/a.mkv", "a-140309.gif", "0:0:1", "0:0:2"};
    EXPECT_EQ(BuildGifCommand(ctx, gif).render(),
              "\"ffmpeg\" -y -i \"/v/a.mkv\" -ss 0:0:1 -to 0:0:2 \"/out/a-140309.gif\"");
}

TEST(ClipCommands, BestPictureGifSeeksToTheRangeAndMakesItsPalettesFromIt)
{
    const JobContext ctx{"ffmpeg", "/out", QTime(1, 2, 3)};
    GifClip gif{3, "/v/a.mkv", "a-140309.gif", "0:0:1", "0:0:2", true};
    const std::string palettes =
        "split[frames][analysed];[analysed]palettegen=stats_mode=single:max_colors=128"
        "[palette];[frames][palette]paletteuse=new=1:dither=none";
    EXPECT_EQ(GifClipPalettes(), palettes);
    EXPECT_EQ(BuildGifCommand(ctx, gif).argv(),
              (std::vector<std::string>{"ffmpeg", "-y", "-ss", "0:0:1", "-to", "0:0:2", "-i", "/v/a.mkv", "-vf",
                                        palettes, "/out/a-140309.gif"}));
}

TEST(ClipCommands, OutputNamesFixedAtAdd)
{
    EXPECT_EQ(GifClipOutputName("/any/folder/a.mkv", QTime(14, 3, 9)), "a-140309.gif");
    EXPECT_EQ(SplitClipOutputName("/any/folder/a.mkv", QTime(14, 3, 9)), "a-140309.mkv");
    EXPECT_EQ(SplitClipOutputName("C:\\v\\b.c.avi", QTime(0, 0, 1)), "b.c-000001.avi");
}

TEST(ClipCommands, EveryDerivedNameOfALongNameFitsAndEndsOnAWholeCharacter)
{
    // 82 Chinese characters (three bytes each) and ".mp4": a 250-byte name.
    const QString stem = QString(82, QChar(0x89C6));
    const std::string name = (stem + QStringLiteral(".mp4")).toStdString();
    ASSERT_EQ(name.size(), 250U);
    const auto whole = [](const std::string& text) { return QString::fromUtf8(text.c_str()).toStdString() == text; };
    const auto fileName = [](const std::string& path) { return path.substr(path.rfind('/') + 1); };

    const std::string split = SplitClipOutputName("/in/" + name, QTime(14, 3, 9));
    EXPECT_LE(split.size() + kNumberingRoom, kMaxFileNameBytes);
    EXPECT_TRUE(whole(split));
    EXPECT_TRUE(QString::fromStdString(split).endsWith(QStringLiteral("-140309.mp4")));
    EXPECT_LE(GifClipOutputName("/in/" + name, QTime(14, 3, 9)).size() + kNumberingRoom, kMaxFileNameBytes);
    // The largest number still fits; a short name is left as it is.
    const std::string numbered = fileName(NumberedPath("/out/" + split, 100000));
    EXPECT_LE(numbered.size(), kMaxFileNameBytes);
    EXPECT_TRUE(QString::fromStdString(numbered).endsWith(QStringLiteral("-140309-100000.mp4")));
    // A 254-byte name to be numbered loses whole characters at the end of its stem.
    const std::string tooLong = fileName(NumberedPath("/out/x" + name.substr(0, 246) + "\xE8\xA7\x86.mp4", 12));
    EXPECT_LE(tooLong.size(), kMaxFileNameBytes);
    EXPECT_TRUE(whole(tooLong));
    EXPECT_EQ(NumberedPath("/o.d/a.mp4", 2), "/o.d/a-2.mp4");
    const QString thumbnail = ThumbnailMaker::thumbnailPath(QStringLiteral("/tmp/t"), QString::fromStdString(name),
                                                            QDateTime::currentDateTime());
    EXPECT_LE(QFileInfo(thumbnail).fileName().toUtf8().size() + static_cast<qsizetype>(kNumberingRoom),
              static_cast<qsizetype>(kMaxFileNameBytes));
    EXPECT_TRUE(thumbnail.endsWith(QStringLiteral(".jpg")));
    // A cut never splits a character.
    const std::string seen = "\xE8\xA7\x86";  // one character, three bytes
    EXPECT_EQ(CutUtf8("a" + seen + "b", 3), "a");
    EXPECT_EQ(CutUtf8("a" + seen + "b", 4), "a" + seen);
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
