#include "tasks/ProgressMath.h"

#include <climits>
#include <cmath>

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
    return TruncateToInt(percent);
}

int MergeProgressPercent(int32_t positionMs, double totalDurationSeconds)
{
    if (!(totalDurationSeconds > 0.0))
        return 0;
    const double position = static_cast<double>(static_cast<float>(positionMs));
    return TruncateToInt(position / (totalDurationSeconds * 1000.0) * 100.0);
}

}  // namespace tolvex
