#pragma once

// The last line ffmpeg printed, kept while its output streams by: the reason a failed job
// shows ("Conversion failed!", "in.mp4: No such file or directory"). Lines end at '\n' or
// '\r'; blank lines are skipped; a long line is kept up to kMaxLine bytes, cut between
// UTF-8 characters. Pure; one per job, used by its reader only.

#include <string>
#include <string_view>

namespace tolvex {

class OutputTail {
public:
    static constexpr size_t kMaxLine = 300;

    void feed(std::string_view chunk);
    // The last non-blank line, the unfinished one included.
    std::string lastLine() const;

private:
    std::string m_current;      // the line being read, at most kMaxLine bytes
    bool m_currentCut = false;  // bytes of the current line were dropped
    std::string m_last;         // the last finished non-blank line
};

// `text` cut to at most `maxBytes` bytes without splitting a UTF-8 character.
std::string_view CutAtCharacter(std::string_view text, size_t maxBytes);

// The length of the longest prefix of `text` that does not end inside a UTF-8 character
// (a cut character at the end is left for the next chunk).
size_t CompleteUtf8Prefix(std::string_view text);

}  // namespace tolvex
