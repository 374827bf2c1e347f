#include "cli/ClipRange.h"

#include "app/Helpers.h"

namespace tolvex::cli {

bool ReadClipRange(CliOptions& options, double durationSeconds, ClipRange& range)
{
    if (!options.has("start") || !options.has("end")) {
        options.setError(QStringLiteral("--start and --end are required"));
        return false;
    }
    range.startText = ToNarrowAnsi(options.value("start").trimmed());
    range.endText = ToNarrowAnsi(options.value("end").trimmed());
    if (!IsClockText(range.startText) || !IsClockText(range.endText)) {
        options.setError(QStringLiteral("times are written h:m:s (minutes and seconds below 60)"));
        return false;
    }
    const int start = ParseClock(range.startText);
    const int end = ParseClock(range.endText);
    if (start >= end) {
        options.setError(QStringLiteral("the start must come before the end"));
        return false;
    }
    if (durationSeconds < start || durationSeconds < end) {
        options.setError(QStringLiteral("the range goes beyond the file's duration (%1 s)").arg(durationSeconds));
        return false;
    }
    return true;
}

}  // namespace tolvex::cli
