// The last line of ffmpeg's output, the reason a failed job shows.

#include "tasks/OutputTail.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvex {
namespace {

TEST(OutputTail, LastNonBlankLineWhateverTheLineEndsAndChunks)
{
    const std::string transcript =
        "Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'in.mp4':\n"
        "frame=   10 fps=0.0 q=2.0 size=       1kB time=00:00:00.40 bitrate=  1.0kbits/s speed=1x    \r"
        "video:10kB audio:0kB subtitle:0kB muxing overhead: 8.669435%\n"
        "Conversion failed!\n\n  \r\n";
    for (size_t piece = 1; piece <= transcript.size(); ++piece) {
        OutputTail tail;
        for (size_t at = 0; at < transcript.size(); at += piece)
            tail.feed(std::string_view(transcript).substr(at, piece));
        ASSERT_EQ(tail.lastLine(), "Conversion failed!") << "pieces of " << piece;
    }
    OutputTail unfinished;
    unfinished.feed("first\n  in.mp4: No such file or directory");
    EXPECT_EQ(unfinished.lastLine(), "in.mp4: No such file or directory") << "trimmed, unfinished line included";
    EXPECT_EQ(OutputTail().lastLine(), "");
}

TEST(OutputTail, LongLinesAreCutBetweenCharacters)
{
    for (size_t lead = 0; lead < 3; ++lead) {
        OutputTail tail;
        std::string line(lead, 'a');
        for (int i = 0; i < 400; ++i)
            line += "中";
        tail.feed(line);
        tail.feed("\n");
        const std::string last = tail.lastLine();
        EXPECT_LE(last.size(), OutputTail::kMaxLine);
        EXPECT_GE(last.size(), OutputTail::kMaxLine - 3);
        EXPECT_EQ((last.size() - lead) % 3, 0u) << "no character is cut in two";
    }
    // A long line that ends inside the chunk that made it too long.
    OutputTail ended;
    ended.feed(std::string(OutputTail::kMaxLine + 2, 'y') + "\n");
    EXPECT_EQ(ended.lastLine().size(), OutputTail::kMaxLine);
    // Bytes past the cut never come back: the next line stands alone.
    OutputTail tail;
    tail.feed(std::string(1000, 'x') + "\nshort");
    EXPECT_EQ(tail.lastLine(), "short");
}

TEST(OutputTail, CompleteUtf8PrefixLeavesACutCharacterOut)
{
    const std::string word = "a中ü";  // 1 + 3 + 2 bytes
    EXPECT_EQ(CompleteUtf8Prefix(word), word.size());
    EXPECT_EQ(CompleteUtf8Prefix(word.substr(0, 5)), 4u);
    EXPECT_EQ(CompleteUtf8Prefix(word.substr(0, 3)), 1u);
    EXPECT_EQ(CompleteUtf8Prefix(word.substr(0, 2)), 1u);
    EXPECT_EQ(CompleteUtf8Prefix(""), 0u);
    EXPECT_EQ(CutAtCharacter(word, 3), "a");
    EXPECT_EQ(CutAtCharacter(word, 4), "a中");
}

}  // namespace
}  // namespace tolvex
