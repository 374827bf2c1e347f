#pragma once

// The small picture of a convert item: one short ffmpeg run that writes a 120x70 JPEG of
// the first frame into the temporary folder. The run gets five seconds; a run that takes
// longer is killed, so no thumbnail process outlives its add.
//
// Thread use: Make blocks its caller until the run ends (at most the time limit plus the
// kill); call it from a worker thread, never from the UI thread. The spawning thread must
// live until Make returns, which it does by construction.

#include "tasks/CommandLine.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <string>

namespace tolvex {

struct ThumbnailResult {
    enum class Outcome {
        Made,        // exit status 0
        Failed,      // ended with another status or a signal
        Overran,     // still running at the time limit: killed
        NotStarted,  // the process could not be made
    };
    Outcome outcome = Outcome::NotStarted;
    int exitCode = -1;
    std::string error;  // why it could not start
    bool ok() const { return outcome == Outcome::Made; }
};

class ThumbnailMaker {
public:
    static constexpr int kTimeLimitMs = 5000;

    // <tempFolder>/<stem>-thumbnail-<yyyyMMddHHmmss>.jpg, a long stem cut (at a character
    // boundary) so that the name fits with room for a "-n".
    static QString thumbnailPath(const QString& tempFolder, const QString& fileName, const QDateTime& time);
    // "ffmpeg" -i "input" -y -f image2 -t 0.001 -s 120x70 -update 1 "thumbnail"
    static CommandLine command(const std::string& ffmpegPath, const QString& input, const QString& thumbnail);

    // Runs the command and waits at most `timeLimitMs`; kills it on overrun, and also as
    // soon as `abort` (when given) becomes true, which reads as an overrun.
    static ThumbnailResult run(const CommandLine& command, int timeLimitMs = kTimeLimitMs,
                               const std::atomic<bool>* abort = nullptr);
};

}  // namespace tolvex
