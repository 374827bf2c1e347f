#include "tasks/ProgressParser.h"

#include "app/Helpers.h"
#include "tasks/OutputTail.h"

#include <cstring>

namespace tolvex {

namespace {

// ffmpeg's own line of an input's duration starts a line with two spaces; metadata lines
// are indented further, so a title holding "Duration: " is not taken for it.
constexpr std::string_view kDurationKey = "\n  Duration: ";
constexpr std::string_view kPositionKey = "time=";
constexpr std::string_view kDoneKey = "muxing overhead:";
// Bytes carried over after an examined chunk: a key cut by the chunk end is at most this long.
constexpr size_t kCarryOver = kDoneKey.size() - 1;

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// `text` without a character cut at either end: leading continuation bytes (the rest of a
// character that began before) and an unfinished character at the end are left out.
std::string_view WholeCharacters(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && start < 4 && IsContinuation(text[start]))
        ++start;
    text.remove_prefix(start);
    return text.substr(0, CompleteUtf8Prefix(text));
}

int32_t AtoiLike(const std::string& text)
{
    return static_cast<int32_t>(LeadingInteger(text));
}

}  // namespace

int32_t ProgressParser::clockTextToMilliseconds(std::string_view clock)
{
    const auto tokens = SplitTokens(std::string(clock), ":");
    int64_t total = 0;
    if (!tokens.empty())
        total += int64_t{AtoiLike(tokens[0])} * 3600000;
    if (tokens.size() > 1)
        total += int64_t{AtoiLike(tokens[1])} * 60000;
    if (tokens.size() > 2) {
        const auto parts = SplitTokens(tokens[2], ".");
        if (!parts.empty())
            total += int64_t{AtoiLike(parts[0])} * 1000;
        if (parts.size() > 1)
            total += int64_t{AtoiLike(parts[1])} * 10;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(total)));
}

void ProgressParser::log(std::string_view prefix, std::string_view text)
{
    if (!m_log)
        return;
    std::string line;
    line.reserve(prefix.size() + text.size() + 1);
    line.append(prefix).append(text).push_back('\n');
    m_log(line);
}

void ProgressParser::feed(std::string_view chunk, std::vector<ParserEvent>& events)
{
    // The chunk is a C string: a zero byte ends it.
    const size_t zero = chunk.find('\0');
    if (zero != std::string_view::npos)
        chunk = chunk.substr(0, zero);
    m_accumulator.append(chunk);
    // The console line holds whole characters: a character cut by the chunk end waits for
    // the rest of it.
    m_logCarry.append(chunk);
    const size_t whole = CompleteUtf8Prefix(m_logCarry);
    log("buffer:", std::string_view(m_logCarry).substr(0, whole));
    m_logCarry.erase(0, whole);
    if (m_logCarry.size() > 4)
        m_logCarry.clear();  // not UTF-8 after all

    if (!m_durationKnown && !findDuration(events))
        return;
    examine(events);
}

bool ProgressParser::findDuration(std::vector<ParserEvent>& events)
{
    const size_t match = m_accumulator.find(kDurationKey);
    if (match == std::string::npos) {
        // Only a key cut by the chunk end can still complete: the rest is dropped, so the
        // text before the duration never piles up.
        if (m_accumulator.size() >= kDurationKey.size())
            m_accumulator.erase(0, m_accumulator.size() - (kDurationKey.size() - 1));
        return false;
    }
    m_accumulator.erase(0, match);
    const size_t clockStart = kDurationKey.size();
    if (m_accumulator.size() < clockStart + kClockLength)
        return false;
    const std::string clock = m_accumulator.substr(clockStart, kClockLength);
    m_durationKnown = true;
    m_durationMs = clockTextToMilliseconds(clock);
    log("duration: ", WholeCharacters(clock));
    log("duration: ", std::to_string(m_durationMs));
    events.push_back({ParserEvent::Kind::Duration, m_durationMs, clock});
    // What follows the clock text in this chunk is examined like any later chunk.
    m_accumulator.erase(0, clockStart + kClockLength);
    return true;
}

void ProgressParser::examine(std::vector<ParserEvent>& events)
{
    if (m_accumulator.size() >= kPositionKey.size()) {
        const size_t match = m_accumulator.find(kPositionKey);
        if (match != std::string::npos) {
            const size_t clockStart = match + kPositionKey.size();
            if (m_accumulator.size() < clockStart + kClockLength)
                return;  // the clock text is cut: wait for the next chunk
            const std::string clock = m_accumulator.substr(clockStart, kClockLength);
            log("posStr: ", WholeCharacters(clock));
            events.push_back({ParserEvent::Kind::Position, clockTextToMilliseconds(clock), clock});
        }
    }

    log("outputInfo: ", WholeCharacters(m_accumulator));

    if (!m_doneSeen && m_accumulator.size() >= kDoneKey.size() && m_accumulator.find(kDoneKey) != std::string::npos) {
        m_doneSeen = true;
        events.push_back({ParserEvent::Kind::Done, 0, {}});
    }

    // Keep only the tail that may hold the start of a key cut by the chunk end. A position
    // key in it was not used yet (a used one is followed by its 11 clock characters).
    if (m_accumulator.size() > kCarryOver)
        m_accumulator.erase(0, m_accumulator.size() - kCarryOver);
}

}  // namespace tolvex
