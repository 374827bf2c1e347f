#include "app/Helpers.h"

#include <chrono>
#include <cstdio>

namespace tolvex {

std::string ToNarrowAnsi(const QString& wide)
{
    return wide.toLocal8Bit().toStdString();
}

std::string ToNarrowUtf8(const QString& wide)
{
    return wide.toUtf8().toStdString();
}

QString ToWideAnsi(const std::string& narrow)
{
    return QString::fromLocal8Bit(narrow.data(), static_cast<qsizetype>(narrow.size()));
}

std::string CutUtf8(const std::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    // Back off over continuation bytes (10xxxxxx): the cut lands before a character's
    // first byte.
    size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

std::string FittedName(const std::string& stem, const std::string& tail, size_t maxBytes)
{
    const size_t room = maxBytes > tail.size() ? maxBytes - tail.size() : 0;
    return CutUtf8(stem, room) + tail;
}

QString FormatFileSize(int64_t bytes)
{
    char buf[64];
    if (bytes < 1024) {
        std::snprintf(buf, sizeof buf, "%lldB", static_cast<long long>(bytes));
    } else if (bytes < 0x100000) {
        std::snprintf(buf, sizeof buf, "%lldKB", static_cast<long long>(bytes >> 10));
    } else if (bytes < 0x40000000) {
        const float m = static_cast<float>(bytes) / 1048576.0f;
        std::snprintf(buf, sizeof buf, "%.2fM", static_cast<double>(m));
    } else {
        const float g = static_cast<float>(bytes) / 1073741824.0f;
        std::snprintf(buf, sizeof buf, "%.2fG", static_cast<double>(g));
    }
    return QString::fromLatin1(buf);
}

std::string FormatClock(int32_t seconds)
{
    char buf[48];
    const int h = seconds / 3600;
    const int m = (seconds % 3600) / 60;
    const int s = (seconds % 3600) % 60;
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, m, s);
    return buf;
}

bool IsAllDigits(const std::string& text)
{
    for (unsigned char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

std::vector<std::string> SplitTokens(const std::string& text, const std::string& delimiters)
{
    std::vector<std::string> tokens;
    std::string::size_type pos = 0;
    while (pos < text.size()) {
        const auto start = text.find_first_not_of(delimiters, pos);
        if (start == std::string::npos)
            break;
        auto end = text.find_first_of(delimiters, start);
        if (end == std::string::npos)
            end = text.size();
        tokens.push_back(text.substr(start, end - start));
        pos = end;
    }
    return tokens;
}

int64_t LeadingInteger(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > (INT64_MAX - 9) / 10)
            break;
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

namespace {

// Shared rule of IsClockText and ParseClock; -1 when the text is not a clock.
int64_t ClockSeconds(const std::string& text)
{
    const auto tokens = SplitTokens(text, ":");
    if (tokens.size() != 3)
        return -1;
    // Hours are held to what a clock of whole seconds in an int can say, so the sum below
    // cannot overflow whatever digits the text holds.
    constexpr int64_t kMaxHours = INT32_MAX / 3600;
    if (!IsAllDigits(tokens[0]) || LeadingInteger(tokens[0]) < 0 || LeadingInteger(tokens[0]) > kMaxHours)
        return -1;
    for (int i = 1; i < 3; ++i) {
        if (!IsAllDigits(tokens[i]) || LeadingInteger(tokens[i]) > 59)
            return -1;
    }
    return LeadingInteger(tokens[0]) * 3600 + LeadingInteger(tokens[1]) * 60 + LeadingInteger(tokens[2]);
}

}  // namespace

bool IsClockText(const std::string& text)
{
    return ClockSeconds(text) >= 0;
}

int ParseClock(const std::string& text)
{
    const int64_t s = ClockSeconds(text);
    if (s < 0 || s > INT32_MAX)
        return 0;
    return static_cast<int>(s);
}

std::string TimestampQuery()
{
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    const auto value = static_cast<uint32_t>(static_cast<uint64_t>(ms));
    return "?timestamp=" + std::to_string(value);
}

int64_t ParseBitRateText(const std::string& text)
{
    if (text == "自动")
        return 0;
    if (const auto k = text.find("kbps"); k != std::string::npos)
        return LeadingInteger(text.substr(0, k)) * 1000;
    if (const auto m = text.find("Mbps"); m != std::string::npos)
        return LeadingInteger(text.substr(0, m)) * 1000000;
    return 0;
}

int ParseSampleRateText(const std::string& text)
{
    if (text == "自动")
        return 0;
    const auto hz = text.find("Hz");
    return static_cast<int>(LeadingInteger(hz == std::string::npos ? text : text.substr(0, hz)));
}

int ParseChannelText(const std::string& text)
{
    if (text == "单声道")
        return 1;
    if (text == "立体声")
        return 2;
    return 0;
}

}  // namespace tolvex
