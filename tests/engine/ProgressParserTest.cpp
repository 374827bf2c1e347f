// The ffmpeg output parser on recorded ffmpeg output, fed the way the reader gets it:
// whole, in reader-sized chunks, split at every byte offset, and byte by byte.

#include "tasks/ProgressParser.h"
#include "tests/support/Utf8Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace tolvex {
namespace {

std::string Fixture(const std::string& name)
{
    const char* root = std::getenv("TOLVEX_SOURCE_DIR");
    std::ifstream in(std::string(root ? root : ".") + "/tests/fixtures/engine/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every "time=" value of a transcript, in order, as milliseconds.
std::vector<int32_t> TranscriptPositions(const std::string& transcript)
{
    std::vector<int32_t> positions;
    const std::regex key("time=(\\d\\d:\\d\\d:\\d\\d\\.\\d\\d)");
    for (auto it = std::sregex_iterator(transcript.begin(), transcript.end(), key); it != std::sregex_iterator(); ++it)
        positions.push_back(ProgressParser::clockTextToMilliseconds((*it)[1].str()));
    return positions;
}

// Feeds `text` in pieces of at most `piece` bytes (never more than the reader reads at once).
void FeedInPieces(ProgressParser& parser, std::string_view text, size_t piece, std::vector<ParserEvent>& events)
{
    piece = std::min(piece, ProgressParser::kChunkSize);
    for (size_t at = 0; at < text.size(); at += piece)
        parser.feed(text.substr(at, piece), events);
}

struct Summary {
    std::vector<int32_t> durations;
    std::vector<int32_t> positions;
    int doneCount = 0;
    bool doneAfterLastPosition = true;
};

Summary Summarize(const std::vector<ParserEvent>& events)
{
    Summary s;
    for (const auto& e : events) {
        switch (e.kind) {
        case ParserEvent::Kind::Duration:
            s.durations.push_back(e.value);
            break;
        case ParserEvent::Kind::Position:
            s.positions.push_back(e.value);
            if (s.doneCount)
                s.doneAfterLastPosition = false;
            break;
        case ParserEvent::Kind::Done:
            ++s.doneCount;
            break;
        }
    }
    return s;
}

TEST(ClockText, ConvertsHoursMinutesSecondsAndHundredths)
{
    EXPECT_EQ(ProgressParser::clockTextToMilliseconds("00:01:02.50"), 62500);
    EXPECT_EQ(ProgressParser::clockTextToMilliseconds("00:00:31.25"), 31250);
    EXPECT_EQ(ProgressParser::clockTextToMilliseconds("01:00:00.00"), 3600000);
    EXPECT_EQ(ProgressParser::clockTextToMilliseconds("00:00:04.00"), 4000);
}

TEST(ClockText, UnknownOrOddTextsReadAsAtoiWould)
{
    // ffmpeg prints N/A for inputs without a duration and for positions before the first frame.
    EXPECT_EQ(ProgressParser::clockTextToMilliseconds("N/A, start:"), 0);
    EXPECT_EQ(ProgressParser::clockTextToMilliseconds("N/A bitrate"), 0);
    EXPECT_EQ(ProgressParser::clockTextToMilliseconds("-00:00:00.0"), 0);
    EXPECT_EQ(ProgressParser::clockTextToMilliseconds(""), 0);
    // Empty tokens are dropped: "::" does not shift the fields.
    EXPECT_EQ(ProgressParser::clockTextToMilliseconds("00::01:02.5"), 62050);
    // The 64-bit sum is truncated into 32 bits.
    EXPECT_EQ(ProgressParser::clockTextToMilliseconds("1000:00:00.00"),
              static_cast<int32_t>(3600000000LL - 4294967296LL));
}

TEST(ProgressParser, RecordedConversionGivesDurationRisingPositionsAndOneDone)
{
    const std::string transcript = Fixture("ffmpeg-convert-stderr.txt");
    ASSERT_GT(transcript.size(), ProgressParser::kChunkSize) << "the fixture must span several reads";
    const auto expected = TranscriptPositions(transcript);
    ASSERT_GE(expected.size(), 10u);

    // Byte by byte: every position is seen exactly once, in order.
    ProgressParser parser;
    std::vector<ParserEvent> events;
    FeedInPieces(parser, transcript, 1, events);
    const Summary s = Summarize(events);
    EXPECT_EQ(s.durations, std::vector<int32_t>{4000});
    EXPECT_EQ(s.positions, expected);
    EXPECT_EQ(s.doneCount, 1);
    EXPECT_TRUE(s.doneAfterLastPosition);
    EXPECT_TRUE(parser.doneSeen());
    EXPECT_EQ(parser.durationMs(), 4000);
}

TEST(ProgressParser, EverySplitOffsetFindsTheSameDurationAndEnd)
{
    const std::string transcript = Fixture("ffmpeg-convert-stderr.txt");
    const auto expected = TranscriptPositions(transcript);
    for (size_t cut = 1; cut < transcript.size(); ++cut) {
        ProgressParser parser;
        std::vector<ParserEvent> events;
        FeedInPieces(parser, std::string_view(transcript).substr(0, cut), ProgressParser::kChunkSize, events);
        FeedInPieces(parser, std::string_view(transcript).substr(cut), ProgressParser::kChunkSize, events);
        const Summary s = Summarize(events);
        ASSERT_EQ(s.durations, std::vector<int32_t>{4000}) << "cut at " << cut;
        ASSERT_EQ(s.doneCount, 1) << "cut at " << cut;
        ASSERT_FALSE(s.positions.empty()) << "cut at " << cut;
        // Only real positions, never a clock text glued from two places, in rising order.
        ASSERT_TRUE(std::is_sorted(s.positions.begin(), s.positions.end())) << "cut at " << cut;
        for (const int32_t p : s.positions)
            ASSERT_NE(std::find(expected.begin(), expected.end(), p), expected.end()) << "cut at " << cut << ": " << p;
    }
}

TEST(ProgressParser, SmallPiecesOfEverySizeSeeEveryPosition)
{
    const std::string transcript = Fixture("ffmpeg-convert-stderr.txt");
    const auto expected = TranscriptPositions(transcript);
    // Pieces shorter than a stats line: no line holds two positions, so none is skipped.
    for (size_t piece = 1; piece <= 40; ++piece) {
        ProgressParser parser;
        std::vector<ParserEvent> events;
        FeedInPieces(parser, transcript, piece, events);
        const Summary s = Summarize(events);
        ASSERT_EQ(s.positions, expected) << "pieces of " << piece;
        ASSERT_EQ(s.doneCount, 1) << "pieces of " << piece;
    }
}

TEST(ProgressParser, DurationClockCutInsideIsReadWhenComplete)
{
    const std::string head = "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'a.mp4':\n  Duration: 00";
    const std::string tail = ":01:02.50, start: 0.000000, bitrate: 500 kb/s\n";
    ProgressParser parser;
    std::vector<ParserEvent> events;
    parser.feed(head, events);
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(parser.durationKnown());
    parser.feed(tail, events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, ParserEvent::Kind::Duration);
    EXPECT_EQ(events[0].value, 62500);
    EXPECT_EQ(events[0].clockText, "00:01:02.50");
}

TEST(ProgressParser, PositionCutByTheChunkEndIsPostedOnce)
{
    ProgressParser parser;
    std::vector<ParserEvent> events;
    parser.feed("  Duration: 00:01:02.50, start: 0.000000\n", events);
    parser.feed("frame=  10 fps=0.0 q=2.0 size=  1kB time=00:00:3", events);
    parser.feed("1.25 bitrate= 1.0kbits/s speed=1x    \r", events);
    parser.feed("frame=  11 fps=0.0 q=2.0 size=  1kB bitrate= 1.0kbits/s\r", events);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].kind, ParserEvent::Kind::Position);
    EXPECT_EQ(events[1].value, 31250);
}

TEST(ProgressParser, EverythingInOneChunkIsFound)
{
    // A reader that falls behind gets the duration, the stats and the end in one read.
    ProgressParser parser;
    std::vector<ParserEvent> events;
    parser.feed(
        "  Duration: 00:00:02.00, start: 0.0\nframe=50 time=00:00:02.00 bitrate=1\r\n"
        "video:95kB audio:17kB muxing overhead: 2.38%\n",
        events);
    const Summary s = Summarize(events);
    EXPECT_EQ(s.durations, std::vector<int32_t>{2000});
    EXPECT_EQ(s.positions, std::vector<int32_t>{2000});
    EXPECT_EQ(s.doneCount, 1);
}

TEST(ProgressParser, InputWithoutDurationReadsAsZero)
{
    const std::string transcript = Fixture("ffmpeg-lavfi-stderr.txt");
    ProgressParser parser;
    std::vector<ParserEvent> events;
    FeedInPieces(parser, transcript, ProgressParser::kChunkSize, events);
    const Summary s = Summarize(events);
    EXPECT_EQ(s.durations, std::vector<int32_t>{0});
    EXPECT_FALSE(s.positions.empty());
    EXPECT_EQ(s.doneCount, 1);
}

TEST(ProgressParser, InputThatCannotBeOpenedGivesNothing)
{
    const std::string transcript = Fixture("ffmpeg-missing-input-stderr.txt");
    ProgressParser parser;
    std::vector<ParserEvent> events;
    FeedInPieces(parser, transcript, 64, events);
    EXPECT_TRUE(events.empty());
}

TEST(ProgressParser, ChunkEndsAtItsFirstZeroByte)
{
    ProgressParser parser;
    std::vector<ParserEvent> events;
    parser.feed(std::string_view("  Duration: 00:00:01.00\0 muxing overhead: 1%", 44), events);
    const Summary s = Summarize(events);
    EXPECT_EQ(s.durations, std::vector<int32_t>{1000});
    EXPECT_EQ(s.doneCount, 0);
}

TEST(ProgressParser, LogsTheConsoleLines)
{
    std::string log;
    ProgressParser parser([&log](std::string_view line) { log.append(line); });
    std::vector<ParserEvent> events;
    parser.feed("  Duration: 00:01:02.50, start\n", events);
    parser.feed("frame=1 time=00:00:31.25 bitrate\r", events);
    EXPECT_NE(log.find("buffer:  Duration: 00:01:02.50"), std::string::npos);
    EXPECT_NE(log.find("duration: 00:01:02.50\n"), std::string::npos);
    EXPECT_NE(log.find("duration: 62500\n"), std::string::npos);
    EXPECT_NE(log.find("posStr: 00:00:31.25\n"), std::string::npos);
    EXPECT_NE(log.find("outputInfo: "), std::string::npos);
}

TEST(ProgressParser, TheDurationIsFfmpegsOwnLineNotMetadata)
{
    const std::string header =
        "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'Duration: 00:00:09.00.mp4':\n"
        "  Metadata:\n"
        "    title           : a  Duration: 00:00:00.10 of fun\n"
        "                    :   Duration: 00:00:00.20\n"
        "  Duration: 00:00:01.50, start: 0.000000, bitrate: 120 kb/s\n";
    for (size_t cut = 1; cut < header.size(); ++cut) {
        ProgressParser parser;
        std::vector<ParserEvent> events;
        parser.feed(std::string_view(header).substr(0, cut), events);
        parser.feed(std::string_view(header).substr(cut), events);
        ASSERT_EQ(Summarize(events).durations, std::vector<int32_t>{1500}) << "cut at " << cut;
    }
}

TEST(ProgressParser, TextBeforeTheDurationIsNotKept)
{
    // A long banner or metadata block before the duration (or no duration at all).
    ProgressParser parser;
    std::vector<ParserEvent> events;
    const std::string line(ProgressParser::kChunkSize, 'x');
    size_t most = 0;
    for (int i = 0; i < 500; ++i) {
        parser.feed(line, events);
        most = std::max(most, parser.bufferedBytes());
    }
    EXPECT_LT(most, 64u);
    parser.feed("\n  Duration: 00:00:02.00, start\n", events);
    EXPECT_EQ(Summarize(events).durations, std::vector<int32_t>{2000});
}

TEST(ProgressParser, ConsoleLinesNeverCutACharacter)
{
    const std::string text =
        "  Duration: 00:00:02.00, start\n    title : 中文标题 ünï\n"
        "frame=1 time=00:00:01.00 中文 bitrate\r";
    for (size_t piece = 1; piece <= 20; ++piece) {
        std::vector<std::string> lines;
        ProgressParser parser([&lines](std::string_view line) { lines.emplace_back(line); });
        std::vector<ParserEvent> events;
        FeedInPieces(parser, text, piece, events);
        for (const std::string& line : lines)
            ASSERT_TRUE(test::IsWholeUtf8(line)) << "pieces of " << piece << ": " << line;
        std::string buffered;
        for (const std::string& line : lines) {
            if (line.rfind("buffer:", 0) == 0)
                buffered += line.substr(7, line.size() - 8);
        }
        EXPECT_EQ(buffered, text) << "pieces of " << piece << ": every byte is logged once";
    }
}

}  // namespace
}  // namespace tolvex
