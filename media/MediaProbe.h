#pragma once

// The media probe: opens a file with libavformat, lets it analyse the streams, reads the
// stream descriptions and closes the file again. No frame is decoded here.
//
// A probe never waits without end: libavformat asks an interrupt callback between its
// reads, which ends the probe when its deadline has passed, when the caller's abort flag
// is set, or once the program stops probing (StopAllProbes, at shutdown). Inputs that
// would block in the open call itself (a fifo, a device, also as a playlist's segment)
// are refused before they are opened.
// Thread use: re-entrant; each call owns its own container context. The default time
// limit and the stop flag are process-wide atomics.

#include "media/MediaInfo.h"
#include "media/StreamInventory.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct AVFormatContext;
struct AVStream;

namespace tolvex {

// The time a probe may take unless the caller says otherwise: 10 seconds.
std::chrono::milliseconds DefaultProbeTimeout();
// Changes that default (tests use a short one).
void SetDefaultProbeTimeout(std::chrono::milliseconds timeout);
// From now on every running and every later probe gives up at its next read.
void StopAllProbes();
// Probes work again (tests, after StopAllProbes).
void ResumeProbes();

struct ProbeLimits {
    std::chrono::milliseconds timeout = DefaultProbeTimeout();
    const std::atomic<bool>* abort = nullptr;  // set by the caller to give up at once
    bool* ranOut = nullptr;                    // set to true when the probe was interrupted (time, abort, stop)
};

// Fills `info` from the file at info.path. 0 when the file was opened and analysed
// (whatever streams it has), -1 when opening or the stream analysis failed or was
// interrupted (fields untouched).
int32_t ProbeMediaInfo(MediaInfo& info, const ProbeLimits& limits = {});

// The playing time of the first video or audio stream in seconds; 0.0 when the file cannot
// be opened (or the probe was interrupted), -1.0 when it has neither a video nor an audio
// stream.
double ProbeDurationSeconds(const std::string& path, const ProbeLimits& limits = {});

// The demuxer name of the file's container ("mov,mp4,m4a,3gp,3g2,mj2", "matroska,webm",
// ...), empty when it cannot be opened.
std::string ProbeContainerFormat(const std::string& path, const ProbeLimits& limits = {});

// Every track, chapter and the tags that decide how a job keeps them; nothing when the file
// cannot be opened and analysed (or the probe was interrupted).
std::optional<StreamInventory> ProbeStreamInventory(const std::string& path, const ProbeLimits& limits = {});

// Opens and analyses the file under `limits` and hands the open container to `use` (on the
// calling thread; reads it makes are guarded by the same limits). False when the file
// cannot be opened or analysed, or the probe was interrupted before or during `use`.
bool WithAnalysedContainer(const std::string& path, const ProbeLimits& limits,
                           const std::function<void(AVFormatContext&)>& use);

// A stream's duration in microseconds: its duration in its time base, scaled in double
// precision and truncated; the container's duration when the stream has none or it is not
// representable; 0 when neither is known.
int64_t StreamDurationMicroseconds(const AVFormatContext& container, const AVStream& stream);

// Whether the video stream is marked as rotated: a "rotate" metadata key (any value), or a
// display matrix with a non-zero rotation. Logs the "rotate" key it finds.
bool StreamHasRotation(const AVStream& stream);

// The clockwise turn (0, 90, 180 or 270 degrees) that the ffmpeg program gives the stream's
// pictures to show them upright, from its display matrix (ffmpeg ignores a "rotate" tag).
int StreamUprightTurn(const AVStream& stream);

}  // namespace tolvex
