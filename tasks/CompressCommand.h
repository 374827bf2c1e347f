#pragma once

// The compress job: the target size is the estimate the page shows (the input size less
// the strength's percentage). The job budgets it (media/CompressBudget) and encodes the
// picture in two passes of its encoder so the file lands on that size: the first pass
// analyses the picture into a pass log and writes nothing else (ffmpeg's null output),
// the second writes the file with the sound. The first pass also encodes the sound into a
// scratch file, whose real size then sets the picture's rate for the second pass (a quiet
// track weighs far less than its rate); that costs about a hundredth of the job's time,
// while budgeting the sound at its full rate would leave a quiet file well short of its
// promise. The first pass runs with the encoder's fast settings and, like the second, on
// every core (ffmpeg's default thread count). A target the picture cannot reach with a
// watchable rate is refused before anything runs, or after the first pass once the
// encoder's own log shows it cannot go that low.

#include "media/CompressBudget.h"
#include "media/EncoderSupport.h"
#include "media/StreamInventory.h"
#include "tasks/CommandLine.h"
#include "tasks/JobFactory.h"
#include "tasks/JobInputs.h"
#include "tasks/MediaItem.h"

#include <cstdint>
#include <functional>
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
    // Run before the second pass with its argv: sets the picture's rate from what the first
    // pass measured; a non-empty answer is the job's failure.
    std::function<std::string(std::vector<std::string>& argv)> beforeEncode;
    // What the output cannot hold ("dropped: ..."), empty when it keeps everything.
    std::string dropped;
};

// The least rate the encoders with libavcodec's own rate control (MPEG-4 part 2 and its
// relatives) can reach, from their first pass's log: the bits of motion and headers,
// which no quantiser lowers, and the texture at the coarsest quantiser. 0 when the log
// holds no frame.
int64_t LavcMinimumBitRate(const std::string& passLog, double seconds);

// `source` is the probe's answer (empty when the file could not be read); `passLogBase`
// a path in the temp folder unique to this job; `ownExtension` the extension "原格式"
// stands for when the input's name has no usable one (empty: the name's own).
CompressJob BuildCompressJob(const JobContext& context, const MediaItem& item, const CompressSettings& settings,
                             const std::optional<CompressSource>& source, const EncoderSupport& encoders,
                             const std::string& passLogBase, const std::string& ownExtension = {},
                             const StreamInventory* tracks = nullptr);

// The job as the engine runs it: both passes, or a failure with the refusal's text.
JobPlan CompressJobPlan(const CompressJob& job);

// Whether a failure reason is the compress job's own verdict on the size (a refusal's text,
// or the result that came out larger than its source) rather than an ffmpeg error.
bool IsCompressVerdict(const std::string& reason);

}  // namespace tolvex
