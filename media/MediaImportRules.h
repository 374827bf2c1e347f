#pragma once

// Which files the pages take: the 24 video kinds, the picker filters, the folder scan and
// its extension rule, and the names a file gets when it is added (its output name on the
// convert page, its thumbnail file). Plain functions; re-entrant.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>

namespace tolvex {

// The 24 video format words, in picker order.
extern const std::array<const char*, 24> kVideoFormatWords;

// Picker filters as the file dialog takes them: the described display text, whose
// parenthesised pattern lists the patterns separated by blanks.
QString VideoPickerFilter();
QString AudioPickerFilter();

// The folder scan's rule: the text after the last "." must be one of the 24 words, all in
// lower case or all in upper case ("MP4" and "mp4" pass, "Mp4" does not).
bool IsScannableVideoName(const QString& fileName);

// The accepted regular files directly in `folder` (no sub folders), full paths sorted by
// name. Empty when the folder cannot be read.
QStringList ScanVideoFolder(const QString& folder);

// The part of a file name before its last "." (the whole name when it has none).
QString FileStem(const QString& fileName);
// The text after the last "." (empty when there is none).
QString FileExtension(const QString& fileName);

// "%02d:%02d:%02d" of the duration truncated to whole seconds (negative counts as 0).
QString DurationText(double seconds);

}  // namespace tolvex
