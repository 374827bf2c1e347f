#include "app/Helpers.h"

#include <gtest/gtest.h>

using namespace tolvex;

TEST(FormatFileSize, UnitBoundaries)
{
    EXPECT_EQ(FormatFileSize(0), "0B");
    EXPECT_EQ(FormatFileSize(1023), "1023B");
    EXPECT_EQ(FormatFileSize(1024), "1KB");
    EXPECT_EQ(FormatFileSize(1048575), "1023KB");
    EXPECT_EQ(FormatFileSize(1048576), "1.00M");
    EXPECT_EQ(FormatFileSize(1073741823), "1024.00M");  // single precision rounds up
    EXPECT_EQ(FormatFileSize(1073741824), "1.00G");
    EXPECT_EQ(FormatFileSize(-5), "-5B");
    EXPECT_EQ(FormatFileSize(5LL * 1073741824 + 1073741824 / 2), "5.50G");
}

TEST(FormatClock, HoursUnbounded)
{
    EXPECT_EQ(FormatClock(0), "00:00:00");
    EXPECT_EQ(FormatClock(59), "00:00:59");
    EXPECT_EQ(FormatClock(3661), "01:01:01");
    EXPECT_EQ(FormatClock(360000), "100:00:00");
}

TEST(ParseClock, ValidAndInvalidTexts)
{
    EXPECT_EQ(ParseClock("00:01:30"), 90);
    EXPECT_EQ(ParseClock("123:00:00"), 442800);
    EXPECT_EQ(ParseClock("1:60:00"), 0);
    EXPECT_EQ(ParseClock("1:2"), 0);
    EXPECT_EQ(ParseClock("a:00:00"), 0);
    EXPECT_EQ(ParseClock("1::2:3"), 3723);  // empty tokens vanish
    EXPECT_EQ(ParseClock(":::"), 0);
    EXPECT_EQ(ParseClock("-1:00:00"), 0);
    EXPECT_EQ(ParseClock("1:00:0x"), 0);
    EXPECT_TRUE(IsClockText("0:0:0"));
    EXPECT_FALSE(IsClockText("00:00:60"));
    EXPECT_FALSE(IsClockText("1:2:3:4"));
    EXPECT_FALSE(IsClockText("１:00:00"));  // full-width digit is not a digit
}

TEST(IsAllDigits, HighBitAndEmpty)
{
    EXPECT_TRUE(IsAllDigits(""));
    EXPECT_TRUE(IsAllDigits("0123456789"));
    EXPECT_FALSE(IsAllDigits("12a"));
    EXPECT_FALSE(IsAllDigits("\xe4\xb8\x80"));
}

TEST(SplitTokens, NoEmptyTokens)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitTokens("a,,b,", ","), (V{"a", "b"}));
    EXPECT_EQ(SplitTokens(",,,", ","), V{});
    EXPECT_EQ(SplitTokens("", ","), V{});
    EXPECT_EQ(SplitTokens("x=1;y=2", ";="), (V{"x", "1", "y", "2"}));
}

TEST(OptionTexts, BitRateSampleRateChannels)
{
    EXPECT_EQ(ParseBitRateText("128kbps"), 128000);
    EXPECT_EQ(ParseBitRateText("2Mbps"), 2000000);
    EXPECT_EQ(ParseBitRateText("2.0Mbps"), 2000000);
    EXPECT_EQ(ParseBitRateText("自动"), 0);
    EXPECT_EQ(ParseBitRateText("128"), 0);
    EXPECT_EQ(ParseSampleRateText("44100Hz"), 44100);
    EXPECT_EQ(ParseSampleRateText("48000"), 48000);
    EXPECT_EQ(ParseSampleRateText("自动"), 0);
    EXPECT_EQ(ParseChannelText("自动"), 0);
    EXPECT_EQ(ParseChannelText("单声道"), 1);
    EXPECT_EQ(ParseChannelText("立体声"), 2);
    EXPECT_EQ(ParseChannelText("立体声 "), 0);
}

TEST(TextConversions, RoundTripChinese)
{
    const QString wide = QStringLiteral("视频 $'\"-x.mp4");
    EXPECT_EQ(ToWideAnsi(ToNarrowAnsi(wide)), wide);
    EXPECT_EQ(ToNarrowUtf8(QStringLiteral("单声道")), "单声道");
}

TEST(TimestampQuery, PrefixAndNumber)
{
    const std::string q = TimestampQuery();
    ASSERT_EQ(q.rfind("?timestamp=", 0), 0u);
    EXPECT_TRUE(IsAllDigits(q.substr(11)));
    EXPECT_FALSE(q.substr(11).empty());
}
