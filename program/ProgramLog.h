#pragma once

// The program's log file: glog writing every record at once into the Log folder
// (files "<Log>/<date>-<time>.<pid>log", at most 10 MB each; nothing is written when
// the disk is full).

namespace tolvex {

class ProgramLog {
public:
    static void start();
    static void stop();
};

}  // namespace tolvex
