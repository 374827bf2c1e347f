#pragma once

// A failed job's reason as the item shows it. The engine words its own reasons in plain
// English for its logs and the companion ("ffmpeg not found", "ffmpeg exited with status 1:
// <ffmpeg's last line>"), and the compress refusals in the described Chinese; the window
// shows each in the user's language. Details the engine appends (a status, a file name,
// ffmpeg's own words) are kept as they are. Anything unknown is shown unchanged.
// Any thread (reads the installed translations only).

#include <QString>

namespace tolvex {

QString FailureReasonText(const QString& reason);

}  // namespace tolvex
