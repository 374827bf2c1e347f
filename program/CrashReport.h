#pragma once

// The crash report: when the process dies of a fatal signal (segmentation fault, abort,
// illegal instruction, bus error, arithmetic error), glog's failure handler writes the
// signal and the faulting thread's stack trace with function names into one file,
// replacing the report of an earlier crash, and the process ends.
// Thread use: Install on the main thread at start; the writer runs in the signal handler
// of the faulting thread and uses only async-signal-safe calls.

#include <QString>

namespace tolvex {

class CrashReport {
public:
    // Installs the handler writing to `reportPath` (its folder must exist).
    static void install(const QString& reportPath);
};

}  // namespace tolvex
