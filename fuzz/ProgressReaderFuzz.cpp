// ffmpeg's output as the job reader gets it: the first bytes choose the chunk sizes, the
// rest is the output. The parser must keep its memory bounded, report sane events and
// log whole UTF-8 characters of valid input; the last-line keeper must stay bounded.

#include "tasks/OutputTail.h"
#include "tasks/ProgressParser.h"
#include "tests/support/Utf8Text.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

using tolvex::test::IsWholeUtf8;

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const size_t pieces[4] = {1u + data[0] % 64, 1u + data[1] * 16u, 1u + data[2], tolvex::ProgressParser::kChunkSize};
    const uint8_t order = data[3];
    const std::string_view text(reinterpret_cast<const char*>(data + 4), size - 4);
    // Whether the text is UTF-8 without zero bytes (a zero ends a chunk).
    const bool cleanText = IsWholeUtf8(text) && text.find('\0') == std::string_view::npos;

    bool linesWhole = true;
    tolvex::ProgressParser parser([&](std::string_view line) { linesWhole = linesWhole && IsWholeUtf8(line); });
    tolvex::OutputTail tail;
    std::vector<tolvex::ParserEvent> events;
    size_t at = 0;
    for (unsigned step = 0; at < text.size(); ++step) {
        const size_t piece = std::min(pieces[(order >> (2 * (step % 4))) & 3], text.size() - at);
        const std::string_view chunk = text.substr(at, std::min(piece, tolvex::ProgressParser::kChunkSize));
        at += chunk.size();
        events.clear();
        parser.feed(chunk, events);
        tail.feed(chunk);
        Check(parser.bufferedBytes() <= 2 * tolvex::ProgressParser::kChunkSize + 64);
        for (const auto& event : events)
            Check(event.kind != tolvex::ParserEvent::Kind::Position || event.clockText.size() == 11);
    }
    Check(tail.lastLine().size() <= tolvex::OutputTail::kMaxLine);
    if (cleanText)
        Check(linesWhole);
    return 0;
}
