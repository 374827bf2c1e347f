#pragma once

// The compress job: the target size is the estimate the page shows (the input size less
// the strength's percentage). The job budgets it (media/CompressBudget) and encodes the
// picture in two passes of its encoder so the file lands on that size: the first pass
// analyses the picture into a pass log and writes nothing else (ffmpeg's null output),
// the second writes the file with the sound. A target the picture cannot reach with a
// watchable rate is refused before anything runs.

#include "media/CompressBudget.h"
#include "media/EncoderSupport.h"
#include "tasks/CommandLine.h"
#include "tasks/JobFactory.h"
#include "tasks/JobInputs.h"
#include "tasks/MediaItem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvex {

// The strength (100 counts as 99) and the target size in bytes: the page's estimate.
int EffectiveStrength(int strength);
int64_t CompressTargetBytes(int64_t fileSize, int strength);

struct CompressJob {
    CompressRefusal refusal = CompressRefusal::None;
    int64_t targetBytes = 0;
    int64_t sourceBytes = 0;  // a result larger than the source is not kept
    CompressBudget budget;
    std::string outputPath;
    CommandLine analysis;  // first pass
    CommandLine encode;    // second pass: writes outputPath
    // What the passes leave beside `passLogBase`, deleted when the job ends.
    std::vector<std::string> passLogFiles;
};

// `source` is the probe's answer (empty when the file could not be read); `passLogBase`
// a path in the temp folder unique to this job; `ownExtension` the extension "原格式"
// stands for when the input's name has no usable one (empty: the name's own).
CompressJob BuildCompressJob(const JobContext& context, const MediaItem& item, const CompressSettings& settings,
                             const std::optional<CompressSource>& source, const EncoderSupport& encoders,
                             const std::string& passLogBase, const std::string& ownExtension = {});

// The job as the engine runs it: both passes, or a failure with the refusal's text.
JobPlan CompressJobPlan(const CompressJob& job);

// Whether a failure reason is the compress job's own verdict on the size (a refusal's text,
// or the result that came out larger than its source) rather than an ffmpeg error.
bool IsCompressVerdict(const std::string& reason);

}  // namespace tolvex
