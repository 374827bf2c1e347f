#pragma once

// The merge job: every selected input scaled and padded into one target frame, then video
// and audio concatenated in list order, in one ffmpeg run (task id -1, page kind 2).

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
    std::string outputName;
};

// "自动": the first source's size (exchanged when it carries a rotation tag); otherwise
// the numbers before and after the last "x" of the ratio text.
MergeFrame MergeTargetFrame(const std::vector<MergeSource>& sources, const std::string& ratioText);
// Input 0 stays unscaled at the top left corner; the others fit the frame width and are
// centred (heights that do not fit are squeezed to the frame height).
MergePlacement PlaceMergeInput(int index, int width, int height, const MergeFrame& frame);
// "视频合并-" HHMMSS "." format
std::string MergeOutputName(const QTime& time, const QString& format);

MergeJob BuildMergeJob(const JobContext& context, const std::vector<MergeSource>& sources,
                       const MergeSettings& settings);

}  // namespace tolvex
