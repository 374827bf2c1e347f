#pragma once

// The files a job writes: its output and its scratch files (pass logs). When the job ends
// they are settled once: kept (the output stays, the scratch files go) or discarded (all
// of them go). The first call decides; later calls do nothing, so a name freed by a
// discard is never deleted again once another job has taken it. A kept output may still
// be withdrawn (deleted) when the job's done turns out void because the job was stopped
// before the engine took it; the name cannot have passed to another job meanwhile, since
// the kept file holds it.
//
// Thread use: the job's reader settles them when the job ends (through its JobControl, under
// the control's lock); the owner of the job discards them when it drops a job that never
// settled (stopped, not launched), and the control withdraws them on the UI thread. Only
// settle once the job's processes have been reaped, so nothing writes the files any more.

#include <mutex>
#include <string>
#include <vector>

namespace tolvex {

class JobOutputs {
public:
    // `extraOutputs` are kept and deleted with the output; kept outputs take the
    // modification time of `dateSource` when it is given.
    JobOutputs(std::string output, std::vector<std::string> scratchFiles, std::vector<std::string> extraOutputs = {},
               std::string dateSource = {});

    const std::string& output() const { return m_output; }
    const std::vector<std::string>& extraOutputs() const { return m_extraOutputs; }

    // Deletes the scratch files only. Returns false when the files were already settled.
    bool keep();
    // Deletes the output and the scratch files. Returns false when already settled.
    bool discard();
    // Deletes a kept output. Returns false when the output was not kept.
    bool withdraw();

private:
    enum class State { Open, Kept, Discarded };
    bool settle(bool keepOutput);

    const std::string m_output;
    const std::vector<std::string> m_scratchFiles;
    const std::vector<std::string> m_extraOutputs;
    const std::string m_dateSource;
    std::mutex m_lock;
    State m_state = State::Open;
};

}  // namespace tolvex
