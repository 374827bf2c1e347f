#pragma once

// The checks a clip's typed start and end times go through before the clip joins a dialog's
// list, and the time text the dialogs show. Pure.

#include <QString>

#include <string>

namespace tolvex {

// The prompt for a start and end that are the same text, which differs per dialog.
// Source texts of the translation context "ClipTimes".
constexpr const char* kSplitEqualTimesPrompt = QT_TRANSLATE_NOOP("ClipTimes", "请拖动选取分割区域!");
constexpr const char* kGifEqualTimesPrompt = QT_TRANSLATE_NOOP("ClipTimes", "请拖动选取Gif转换片段区域!");

// The prompt text (translated) for the trimmed start and end texts of a clip of a file lasting
// `fileSeconds`, or an empty text when the clip may be added. Checked in this order: empty
// start, empty end, malformed start, malformed end, equal texts, start not before end,
// either past the file's end.
QString CheckClipTimes(const std::string& start, const std::string& end, double fileSeconds,
                       const QString& equalTimesPrompt);

// Seconds as "hh:mm:ss" (truncated; the hours grow past two digits; negative as 0).
QString SecondsText(double seconds);

// White space cut from both ends.
std::string TrimmedText(const QString& text);

}  // namespace tolvex
