#include "tasks/ProgressMath.h"

#include <algorithm>
#include <cinttypes>
#include <climits>
#include <cmath>
#include <cstdio>

namespace tolvex {

namespace {

// Truncation toward zero that stays defined for any value.
int TruncateToInt(double value)
{
    if (!std::isfinite(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

int ProgressPercent(int32_t positionMs, int32_t durationMs)
{
    if (durationMs <= 0)
        return 0;
    const float ratio = static_cast<float>(positionMs) / static_cast<float>(durationMs);
    const float percent = ratio * 100.0f;
    return std::clamp(TruncateToInt(percent), 0, 100);
}

JobProgress PassProgress(size_t passIndex, size_t passCount, int32_t positionMs, int32_t durationMs)
{
    if (passCount <= 1)
        return {positionMs, durationMs};
    if (passIndex >= passCount)
        passIndex = passCount - 1;
    const auto clampToInt32 = [](int64_t value) {
        return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
    };
    const int64_t duration = std::max<int32_t>(durationMs, 0);
    const int64_t position = std::clamp<int64_t>(positionMs, 0, duration);
    const auto count = static_cast<int64_t>(passCount);
    const auto index = static_cast<int64_t>(passIndex);
    return {clampToInt32(index * duration + position), clampToInt32(count * duration)};
}

int MergeProgressPercent(int32_t positionMs, double totalDurationSeconds)
{
    if (!(totalDurationSeconds > 0.0))
        return 0;
    const double position = static_cast<double>(static_cast<float>(positionMs));
    return std::clamp(TruncateToInt(position / (totalDurationSeconds * 1000.0) * 100.0), 0, 100);
}

std::string ShortClockText(int64_t milliseconds, ClockRounding rounding)
{
    const int64_t ms = std::max<int64_t>(milliseconds, 0);
    const int64_t seconds = rounding == ClockRounding::Up ? (ms + 999) / 1000 : (ms + 500) / 1000;
    char text[48];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%" PRId64 ":%02d:%02d", seconds / 3600, static_cast<int>(seconds / 60 % 60),
                      static_cast<int>(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    return text;
}

}  // namespace tolvex
