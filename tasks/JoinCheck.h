#pragma once

// Whether files can be joined by copying their packets, and what stands in the way: each
// file after the first is compared with the first track by track (how many tracks of each
// kind; each picture's codec, profile, size, pixel shape, pixel format, frame rate, time
// base and turn; each sound track's codec, rate and channels). A copied join of files that
// differ there plays wrongly or not at all, so such a join is refused before anything runs.
// Pure: no I/O.

#include "media/TrackFormats.h"

#include <string>
#include <vector>

namespace tolvex {

enum class JoinProperty {
    Tracks,
    VideoCodec,
    Profile,
    FrameSize,
    Aspect,
    PixelFormat,
    FrameRate,
    TimeBase,
    Turn,
    AudioCodec,
    SampleRate,
    Channels,
    SubtitleCodec,
};

struct JoinDifference {
    JoinProperty property = JoinProperty::Tracks;
    std::string value;     // this file's: "640x480", "44100Hz"
    std::string expected;  // the first file's
};

struct FileDifferences {
    int fileNumber = 0;  // counted from 1, in join order
    std::vector<JoinDifference> differences;
};

// The files that differ from the first, each with what differs (each property once, for
// the first track that shows it); empty when they can all be joined by copying.
std::vector<FileDifferences> CompareJoinInputs(const std::vector<JoinInput>& inputs);

enum class JoinTextLanguage { Chinese, English };
// One line per file: "第2个文件: 分辨率 640x480 ≠ 1280x720; 音频 44100Hz ≠ 48000Hz"
// ("file 2: frame size 640x480 ≠ 1280x720; sound 44100Hz ≠ 48000Hz").
std::string JoinDifferencesText(const std::vector<FileDifferences>& files, JoinTextLanguage language);

}  // namespace tolvex
