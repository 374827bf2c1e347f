// tolvex-cli's option parsing, time range and crop rectangle, with the inputs the fuzzer
// found troublesome kept as cases.

#include "cli/CliOptions.h"
#include "cli/ClipRange.h"
#include "cli/CropOption.h"

#include <gtest/gtest.h>

#include <climits>

namespace tolvex::cli {
namespace {

CliOptions SplitOptions()
{
    return CliOptions("split", {{"start", true}, {"end", true}, {"crop", true}});
}

TEST(CropOption, InsideTheFrameOnly)
{
    const auto crop = ParseCropOption(QStringLiteral("100:50:10:20"), 640, 360);
    ASSERT_TRUE(crop);
    EXPECT_EQ(crop->width, 100);
    EXPECT_EQ(crop->height, 50);
    EXPECT_EQ(crop->x, 10);
    EXPECT_EQ(crop->y, 20);
    EXPECT_TRUE(ParseCropOption(QStringLiteral("640:360:0:0"), 640, 360)) << "the whole frame";
    for (const char* bad : {"641:360:0:0", "0:10:0:0", "10:0:0:0", "10:10:631:0", "10:10:-1:0", "10:10:0", "a:b:c:d",
                            "10:10:0:0:0", " 10:10:0:0", "", "１０:10:0:0"})
        EXPECT_FALSE(ParseCropOption(QString::fromUtf8(bad), 640, 360)) << bad;
}

TEST(CropOption, HugeNumbersDoNotWrapIntoTheFrame)
{
    // x + width overflowed a 32-bit int and came out negative, so the rectangle passed.
    EXPECT_FALSE(ParseCropOption(QStringLiteral("2147483647:1:2147483647:0"), 640, 360));
    EXPECT_FALSE(ParseCropOption(QStringLiteral("1:2147483647:0:2147483647"), 640, 360));
    EXPECT_FALSE(ParseCropOption(QStringLiteral("99999999999:1:0:0"), 640, 360)) << "past int";
}

TEST(ClipRangeOption, TimesInOrderAndWithinTheFile)
{
    const auto read = [](const QStringList& args, double duration, ClipRange* range = nullptr) {
        CliOptions options = SplitOptions();
        ClipRange local;
        return options.parse(args) && ReadClipRange(options, duration, range ? *range : local);
    };
    ClipRange range;
    EXPECT_TRUE(
        read({QStringLiteral("--start"), QStringLiteral("0:0:1"), QStringLiteral("--end=0:0:3")}, 10.0, &range));
    EXPECT_EQ(range.startText, "0:0:1");
    EXPECT_EQ(range.endText, "0:0:3");
    EXPECT_FALSE(read({QStringLiteral("--start=0:0:3"), QStringLiteral("--end=0:0:1")}, 10.0)) << "reversed";
    EXPECT_FALSE(read({QStringLiteral("--start=0:0:1"), QStringLiteral("--end=0:0:30")}, 10.0)) << "past the end";
    EXPECT_FALSE(read({QStringLiteral("--start=0:0:1"), QStringLiteral("--end=0:0:3")}, -1.0)) << "not probed";
    EXPECT_FALSE(read({QStringLiteral("--start=0:61:1"), QStringLiteral("--end=0:0:3")}, 1e9)) << "minutes below 60";
    EXPECT_FALSE(read({QStringLiteral("--end=0:0:3")}, 10.0)) << "start missing";
    EXPECT_FALSE(read({QStringLiteral("--start=99999999999:0:0"), QStringLiteral("--end=99999999999:0:1")}, 1e12));
    // So many hours that hours x 3600 overflowed a 64-bit sum.
    EXPECT_FALSE(
        read({QStringLiteral("--start=1999999999999999999999999999999999999999:2:3"), QStringLiteral("--end=99:0:0")},
             1e12));
    EXPECT_TRUE(read({QStringLiteral("--start=596522:0:0"), QStringLiteral("--end=596523:0:0")}, 1e12))
        << "the largest hour a clock holds";
}

TEST(CliOptionsParse, ValuesFlagsAndErrors)
{
    CliOptions options("rotate", {{"rotate", true}});
    ASSERT_TRUE(options.parse({QStringLiteral("--rotate=3"), QStringLiteral("--verbose"), QStringLiteral("a.mp4")}));
    int rotate = -1;
    EXPECT_TRUE(options.intValue("rotate", 0, 7, 0, rotate));
    EXPECT_EQ(rotate, 3);
    EXPECT_TRUE(options.has("verbose"));
    EXPECT_EQ(options.positional(), QStringList{QStringLiteral("a.mp4")});

    for (const QStringList& bad : {QStringList{QStringLiteral("--nope")}, QStringList{QStringLiteral("--rotate")}}) {
        CliOptions again("rotate", {{"rotate", true}});
        EXPECT_FALSE(again.parse(bad)) << qPrintable(bad.join(QLatin1Char(' ')));
        EXPECT_FALSE(again.error().isEmpty());
    }
    for (const char* value : {"8", "-1", "3x", "", "99999999999"}) {
        CliOptions again("rotate", {{"rotate", true}});
        ASSERT_TRUE(again.parse({QStringLiteral("--rotate"), QString::fromLatin1(value)}));
        int out = 0;
        EXPECT_FALSE(again.intValue("rotate", 0, 7, 0, out)) << value;
    }
}

TEST(CliOptionsParse, FrameSizeIsTheKeywordOrWidthByHeight)
{
    const auto sizeOf = [](const QStringList& args, QString& out) {
        CliOptions options("merge", {{"size", true}});
        EXPECT_TRUE(options.parse(args));
        const bool ok = options.frameSize("auto", QStringLiteral("自动"), out);
        EXPECT_EQ(ok, options.error().isEmpty()) << qPrintable(options.error());
        return ok;
    };
    QString size;
    ASSERT_TRUE(sizeOf({}, size)) << "not given: the keyword";
    EXPECT_EQ(size, QStringLiteral("自动"));
    ASSERT_TRUE(sizeOf({QStringLiteral("--size=auto")}, size));
    EXPECT_EQ(size, QStringLiteral("自动"));
    ASSERT_TRUE(sizeOf({QStringLiteral("--size"), QStringLiteral("1280x720")}, size));
    EXPECT_EQ(size, QStringLiteral("1280x720"));
    for (const char* bad : {"0x720", "1280x", "x720", "1280X720", "1280x720x2", " 1280x720", "-1x5", "original", ""}) {
        size = QStringLiteral("kept");
        EXPECT_FALSE(sizeOf({QStringLiteral("--size"), QString::fromLatin1(bad)}, size)) << bad;
        EXPECT_EQ(size, QStringLiteral("kept")) << bad;
    }
}

}  // namespace
}  // namespace tolvex::cli
