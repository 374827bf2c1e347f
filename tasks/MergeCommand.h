#pragma once

// The merge job: every selected input scaled and padded into one target frame, then video
// and audio concatenated in list order, in one ffmpeg run (task id -1, page kind 2). An
// input without sound gets a silent track of its own length, so the others' sound stays
// in place.

#include "tasks/CommandLine.h"
#include "tasks/JobInputs.h"

#include <string>
#include <vector>

namespace tolvex {

// The target frame: numbers and the decimal texts that go into the command.
struct MergeFrame {
    int width = 1280;
    int height = 720;
    std::string widthText = "1280";
    std::string heightText = "720";
};

// Where one input lands in the frame: scaled size and offsets of the padding.
struct MergePlacement {
    int scaledWidth = 0;
    int scaledHeight = 0;
    int padX = 0;
    int padY = 0;
};

struct MergeJob {
    CommandLine command;
    double totalDuration = 0.0;  // seconds: the sum of the inputs' durations
    std::string videoChains;     // the scale/pad/setdar chains, for the log
    std::string concatInputs;    // "[v00][0:a][v11][1:a]...", for the log
    std::string silentTracks;    // "anullsrc...[a1];" for the inputs without sound
    std::string outputName;
    std::vector<MergeSource> sources;  // the inputs in order, to name the one a failure is about
    // "dropped: ..." when the inputs' sound tracks cannot all be joined, else empty.
    std::string dropped;
    // Files written for the job (a lossless join's list and chapters): deleted when it ends.
    std::vector<std::string> scratchFiles;
};

// "自动": the first source's upright size; otherwise the numbers before and after the last
// "x" of the ratio text. Both sides are rounded down to even numbers (encoders of 4:2:0
// pictures take no odd sides).
MergeFrame MergeTargetFrame(const std::vector<MergeSource>& sources, const std::string& ratioText);
// Where an input of upright size w x h lands: an input larger than the frame in either
// direction is scaled down to fit inside it, keeping its aspect ratio (never scaled up);
// sides are even and the picture is centred.
MergePlacement PlaceMergeInput(int width, int height, const MergeFrame& frame);
// The input a failed merge's ffmpeg text names (its path, "input #N" or "stream #N:M"),
// or -1 when it names none.
int MergeInputNamedIn(const std::string& ffmpegText, const std::vector<MergeSource>& sources);
// "视频合并-" HHMMSS "." format
std::string MergeOutputName(const QTime& time, const QString& format);

// Inputs that all have the same number of sound tracks (two or more) are joined track by
// track; otherwise each input gives its first track (or silence).
MergeJob BuildMergeJob(const JobContext& context, const std::vector<MergeSource>& sources,
                       const MergeSettings& settings);

}  // namespace tolvex
