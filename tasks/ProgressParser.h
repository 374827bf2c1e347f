#pragma once

// Reads ffmpeg's diagnostic output, chunk by chunk as it comes out of the pipe, and finds
// the three things a job reports: the input duration (ffmpeg's own "  Duration: " line
// and an 11-character clock text), each position ("time=" and 11 characters) and the
// closing statistics ("muxing overhead:", which fill the bar; the end of a job is its
// exit). Pure: bytes in, events out; the optional log sink receives the console lines
// ("buffer:", "duration: ", "posStr: ", "outputInfo: "), each of whole UTF-8 characters.
//
// Until the duration is found only the tail that may hold a cut key is kept; after that
// each chunk is examined once and then dropped, except that a position whose clock text
// is cut by the chunk end waits for the next chunk, and the last bytes of a chunk
// (shorter than the longest key) are carried over so that a key cut by a chunk boundary
// is still found. Memory stays within a few chunks whatever ffmpeg prints.
// Thread use: one parser per job, used by that job's reader only.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvex {

struct ParserEvent {
    enum class Kind {
        Duration,  // value: input duration in ms
        Position,  // value: current output position in ms
        Done,      // the run's final statistics were printed
    };
    Kind kind;
    int32_t value = 0;
    std::string clockText;  // the 11 characters read (Duration, Position)

    bool operator==(const ParserEvent& o) const { return kind == o.kind && value == o.value; }
};

class ProgressParser {
public:
    // The reader's read size: a 4096-byte buffer that always keeps its terminating zero.
    static constexpr size_t kChunkSize = 4095;
    static constexpr size_t kClockLength = 11;

    using LogSink = std::function<void(std::string_view)>;

    ProgressParser() = default;
    explicit ProgressParser(LogSink log) : m_log(std::move(log)) {}

    // Examines one chunk (as read from the pipe, at most kChunkSize bytes; a zero byte ends
    // it) and appends what it found to `events`.
    void feed(std::string_view chunk, std::vector<ParserEvent>& events);

    bool durationKnown() const { return m_durationKnown; }
    int32_t durationMs() const { return m_durationMs; }
    bool doneSeen() const { return m_doneSeen; }
    // Bytes the parser holds between chunks.
    size_t bufferedBytes() const { return m_accumulator.size() + m_logCarry.size(); }

    // "hh:mm:ss.xx" (also cut or malformed texts) to milliseconds, as ffmpeg's clock reads:
    // tokens at ':' (empty ones dropped), seconds split at '.', the fraction in hundredths,
    // every number read like C's atoi; the 64-bit sum is truncated to 32 bits.
    static int32_t clockTextToMilliseconds(std::string_view clock);

private:
    void log(std::string_view prefix, std::string_view text);
    bool findDuration(std::vector<ParserEvent>& events);
    void examine(std::vector<ParserEvent>& events);

    LogSink m_log;
    // Starts as a line end: the first line of the output may be the duration's.
    std::string m_accumulator = "\n";
    std::string m_logCarry;  // the start of a UTF-8 character cut by the chunk end
    bool m_durationKnown = false;
    bool m_doneSeen = false;
    int32_t m_durationMs = 0;
};

}  // namespace tolvex
