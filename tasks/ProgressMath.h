#pragma once

// The percentage a page shows for a job's progress.

#include <cstdint>

namespace tolvex {

// position / duration × 100 in single precision, truncated toward zero. Not clamped: a
// position past the duration gives more than 100. A zero or negative duration gives 0.
int ProgressPercent(int32_t positionMs, int32_t durationMs);

// The merge job: position (through single precision) / (total seconds × 1000) × 100 in
// double precision, truncated. A total of zero or less gives 0.
int MergeProgressPercent(int32_t positionMs, double totalDurationSeconds);

}  // namespace tolvex
