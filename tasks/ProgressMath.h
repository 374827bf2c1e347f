#pragma once

// The percentage a page shows for a job's progress.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvex {

// position / duration × 100 in single precision, truncated toward zero and held to 0-100
// (ffmpeg's last position may pass the input's duration). A zero or negative duration
// gives 0.
int ProgressPercent(int32_t positionMs, int32_t durationMs);

// The progress of pass `passIndex` of `passCount` as the whole job's progress: the pass
// fills its share of the bar, [k/n, (k+1)/n], by reporting a duration of n × the pass's
// duration and a position of k × duration + the pass's position (held to the pass's
// duration). A single pass is reported as it is.
struct JobProgress {
    int32_t positionMs = 0;
    int32_t durationMs = 0;
};
JobProgress PassProgress(size_t passIndex, size_t passCount, int32_t positionMs, int32_t durationMs);

// The merge job: position (through single precision) / (total seconds × 1000) × 100 in
// double precision, truncated and held to 0-100. A total of zero or less gives 0.
int MergeProgressPercent(int32_t positionMs, double totalDurationSeconds);

// A span of time as a clock: "0:42", "12:05", "1:02:03" (hours only when there are some),
// to the nearest second or, for the time a job has left, up to the next one (a job with any
// time left never reads 0:00). Spans below zero read 0:00.
enum class ClockRounding { Nearest, Up };
std::string ShortClockText(int64_t milliseconds, ClockRounding rounding = ClockRounding::Nearest);

}  // namespace tolvex
