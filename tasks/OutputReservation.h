#pragma once

// Output names that nothing overwrites. Before a job starts, its output file is created
// empty and exclusively (O_EXCL) in the output folder: the name is then the job's, and
// another job of any page, or a file already there, makes the next job take the next free
// name ("a-101500-1.mp4", "a-101500-2.mp4", ...). ffmpeg then only replaces the empty
// file that was made for it.
// Thread use: any thread; the file system is the only shared state.

#include "tasks/JobOutputs.h"
#include "tasks/JobPlan.h"

#include <memory>
#include <optional>
#include <string>

namespace tolvex {

// `path` with "-n" before the extension of its file name ("/o/a.mp4", 2 → "/o/a-2.mp4";
// "/o.d/a" → "/o.d/a-2"); n = 0 gives `path`. The file name stays within 255 bytes: a long
// stem is cut at a character boundary.
std::string NumberedPath(const std::string& path, int n);

// Creates the first free name of `wanted`, `wanted`-1, ... and returns it. An output that
// is not a regular file (a device such as /dev/null) is returned as it is, reserving
// nothing. nullopt and `error` when no file can be made (missing folder, no permission).
struct Reservation {
    std::string path;
    bool created = false;  // an empty file was made for the job
};
std::optional<Reservation> ReserveOutput(const std::string& wanted, std::string& error);

// Reserves the plan's output and points its final command at the reserved name; the
// command gets "-y" when it has none, so ffmpeg replaces the empty file instead of
// refusing it. Returns the job's files (the output only when one was reserved, so a job
// never deletes a file it did not make), or null and `error`.
std::shared_ptr<JobOutputs> ReservePlanOutput(JobPlan& plan, std::string& error);

}  // namespace tolvex
