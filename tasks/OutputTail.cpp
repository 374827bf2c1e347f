#include "tasks/OutputTail.h"

namespace tolvex {

namespace {

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// The byte count of the UTF-8 sequence that starts with `lead` (1 for anything else).
size_t SequenceLength(unsigned char lead)
{
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// The line without its surrounding blanks, at most kMaxLine bytes of whole characters.
std::string Trimmed(const std::string& line)
{
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const size_t last = line.find_last_not_of(" \t");
    return std::string(CutAtCharacter(std::string_view(line).substr(first, last - first + 1), OutputTail::kMaxLine));
}

}  // namespace

std::string_view CutAtCharacter(std::string_view text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    size_t end = maxBytes;
    while (end > 0 && IsContinuation(static_cast<unsigned char>(text[end])))
        --end;
    return text.substr(0, end);
}

size_t CompleteUtf8Prefix(std::string_view text)
{
    // Look back at most three bytes for the lead byte of the last character.
    const size_t size = text.size();
    for (size_t back = 1; back <= 4 && back <= size; ++back) {
        const auto c = static_cast<unsigned char>(text[size - back]);
        if (IsContinuation(c))
            continue;
        if (c < 0x80)
            return size;
        return SequenceLength(c) > back ? size - back : size;
    }
    return size;
}

void OutputTail::feed(std::string_view chunk)
{
    for (const char c : chunk) {
        if (c == '\n' || c == '\r') {
            std::string line = Trimmed(m_current);
            if (!line.empty())
                m_last = std::move(line);
            m_current.clear();
            m_currentCut = false;
            continue;
        }
        // Past the limit the rest of the line is dropped; the few bytes beyond it let the
        // cut fall between two characters.
        if (!m_currentCut && m_current.size() < kMaxLine + 4)
            m_current.push_back(c);
        else
            m_currentCut = true;
    }
    if (m_current.size() > kMaxLine) {
        m_current.resize(CutAtCharacter(m_current, kMaxLine).size());
        m_currentCut = true;
    }
}

std::string OutputTail::lastLine() const
{
    std::string current = Trimmed(m_current);
    return current.empty() ? m_last : current;
}

}  // namespace tolvex
