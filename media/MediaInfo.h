#pragma once

// What the media probe reports about one file. Owned by the caller; holds no FFmpeg object.

#include <cstdint>
#include <string>

namespace tolvex {

struct MediaInfo {
    explicit MediaInfo(std::string filePath) : path(std::move(filePath)) {}

    std::string path;  // narrow text (ToNarrowAnsi of the wide path)
    int32_t width = -1;
    int32_t height = -1;
    int32_t videoStreamIndex = -1;   // -1: no video
    int32_t audioStreamIndex = -1;   // -1: no audio
    int32_t audioSampleFormat = -1;  // FFmpeg's AVSampleFormat value
    int32_t videoBitRate = 0;        // meaningful only with a video stream (low 32 bits)
    int32_t audioBitRate = 0;        // meaningful only with an audio stream (low 32 bits)
    int32_t sampleRate = -1;
    int32_t channels = -1;
    int64_t durationSeconds = -1;  // the video stream's, whole seconds (truncated)
    int32_t frameRate = -1;        // whole frames per second of the video stream
    int32_t hasRotateTag = 0;      // 1: the video stream is marked as rotated
    int32_t uprightTurn = 0;       // clockwise degrees ffmpeg turns the picture: 0, 90, 180, 270
    int32_t audioTrackCount = 0;   // sound streams
    // The playing time of the first video or audio stream in seconds (as ProbeDurationSeconds
    // tells it); -1 when the file has neither.
    double playSeconds = -1.0;
};

}  // namespace tolvex
