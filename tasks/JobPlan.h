#pragma once

// What a job runs: one ffmpeg command, or several run one after another by the same job
// (the first pass of a two-pass encode into a null output, then the pass that writes the
// file). The last argument of `command` is the job's output file.

#include "tasks/CommandLine.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tolvex {

struct JobPlan {
    enum class Action {
        Run,   // launch `earlierPasses` (if any), then `command`
        Drop,  // the task cannot run (no inputs left, e.g. no clip record): take it off the queue silently
        Fail,  // the task cannot run for a reason the user should see: post a failure with `reason`
    };
    Action action = Action::Run;
    // The command that writes the output; its last argument is the output file.
    CommandLine command;
    std::string reason;
    // Commands run before `command`, in order. A pass that does not end with status 0 ends
    // the job as failed; the progress bar covers every pass (pass k of n fills k/n..(k+1)/n).
    std::vector<CommandLine> earlierPasses;
    // Files the passes create besides the output (e.g. pass log files in the Temp folder):
    // deleted when the job ends, whether it completed, failed or was stopped.
    std::vector<std::string> scratchFiles;
    // The most the output may weigh in bytes (0: no limit): a larger file is deleted and the
    // job fails with `tooLargeReason` (a compressed file must not outgrow its source).
    int64_t outputLimit = 0;
    std::string tooLargeReason;
    // Called with the final command's argv once the earlier passes ended well, before it
    // runs: may change it from what they found; a non-empty answer fails the job with it.
    std::function<std::string(std::vector<std::string>& argv)> beforeLastPass;
    // Files the final command writes besides its output (one per sound track of an
    // extract job): each is reserved like the output and kept or deleted with it.
    std::vector<std::string> extraOutputs;
    // The input whose modification time the kept outputs take (empty: they keep their own).
    std::string dateSource;
    // What the output cannot hold of the input ("dropped: ..."), shown with the job.
    std::string dropped;

    size_t passCount() const { return earlierPasses.size() + 1; }
    // Pass `index` (0-based): the earlier passes, then `command`.
    const CommandLine& pass(size_t index) const
    {
        return index < earlierPasses.size() ? earlierPasses[index] : command;
    }
    // The output file: the final command's last argument (empty when it has none).
    std::string outputPath() const
    {
        const std::vector<std::string> argv = command.argv();
        return argv.size() > 1 ? argv.back() : std::string();
    }
};

}  // namespace tolvex
