#pragma once

// Small stateless helpers shared by the whole program: text conversions between the
// UI's wide text (QString) and the narrow text handed to FFmpeg, the log and the network,
// display forms of sizes and clocks, clock parsing, option-text parsing, token splitting
// and the timestamp query of web requests. All are re-entrant.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tolvex {

// Narrow text in the locale's encoding (UTF-8 on this platform).
std::string ToNarrowAnsi(const QString& wide);
std::string ToNarrowUtf8(const QString& wide);
QString ToWideAnsi(const std::string& narrow);

// The longest file name the file systems take (ext4, xfs, btrfs): 255 bytes.
constexpr size_t kMaxFileNameBytes = 255;
// What a derived name leaves free for the "-n" that makes an output name unique ("-1" up
// to "-100000").
constexpr size_t kNumberingRoom = 7;
// The longest start of UTF-8 `text` that has at most `maxBytes` bytes and ends at a
// character boundary.
std::string CutUtf8(const std::string& text, size_t maxBytes);
// stem + tail in at most `maxBytes` bytes: the stem is cut (at a character boundary) so
// that the tail (a stamp, a number, the extension) stays whole.
std::string FittedName(const std::string& stem, const std::string& tail, size_t maxBytes = kMaxFileNameBytes);

// "1023B", "1KB", "1.00M", "1.00G".
QString FormatFileSize(int64_t bytes);
// "hh:mm:ss", hours not limited to two digits.
std::string FormatClock(int32_t seconds);
// Whole seconds of "h:m:s" (hours any size, minutes and seconds 0-59), 0 when invalid.
int ParseClock(const std::string& text);
bool IsClockText(const std::string& text);
bool IsAllDigits(const std::string& text);
// Cuts text at every delimiter character; never yields empty tokens.
std::vector<std::string> SplitTokens(const std::string& text, const std::string& delimiters);
// "?timestamp=" and the local time in milliseconds, wrapped to 32 bits.
std::string TimestampQuery();

// Option texts of the parameter dialog ("自动", "128kbps", "44100Hz", "单声道", ...).
int64_t ParseBitRateText(const std::string& text);
int ParseSampleRateText(const std::string& text);
int ParseChannelText(const std::string& text);

// The leading integer of a text as C's atoi reads it (optional sign, digits), 0 when none.
int64_t LeadingInteger(const std::string& text);

}  // namespace tolvex
