#pragma once

// One installer download over HTTP(S) with libcurl into a folder (the Temp folder).
//
// The file is named by DownloadFileName and written through a temporary file that becomes
// the target only when the download is complete, replacing an earlier file of that name. A
// cancelled, failed or short download (fewer bytes than announced, or none at all) leaves
// nothing behind and is never opened. Without Content-Length the body is read to its end.
// Certificates are verified; a transfer that moves no byte for kStallSeconds fails.
//
// What is refused (the download fails and leaves nothing):
//   - a hop that DownloadPolicy does not allow: https stays https across redirects, http
//     only to a loopback address (the local service);
//   - more than kMaxBytes, announced or received;
//   - with an expected SHA-256 (from the update answer), a file whose digest differs.
//
// Progress: `progress` is called from the downloading thread when the whole-number
// percentage changes (the last shown value belongs to this download and starts at 0), or,
// without a length, every kActivityBytes with percent -1.
//
// Thread use: Run blocks its (worker) thread; `cancel` may be set from any thread and ends
// the transfer within about a second. One Run per object.

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace tolvex {

enum class DownloadOutcome {
    Completed,
    Cancelled,
    Failed,  // network error, HTTP error status, a file that cannot be written, a stall, a
             // refused hop, too large, a digest that does not match
    Short,   // the connection ended before the announced length, or sent nothing
};

struct DownloadProgress {
    int percent = 0;  // 0-100, or -1 when the length is unknown
    int64_t received = 0;
    int64_t total = 0;  // 0 when unknown
};

class HttpDownload {
public:
    static constexpr long kStallSeconds = 60;
    static constexpr int64_t kActivityBytes = 64 * 1024;
    static constexpr int64_t kMaxBytes = int64_t{2} << 30;  // 2 GiB

    using ProgressFn = std::function<void(const DownloadProgress&)>;

    // `sha256`: the expected digest in hexadecimal (any case); empty: not checked.
    HttpDownload(std::string url, const QString& folder, std::string sha256 = {});

    // Where the file is, once complete.
    const QString& targetPath() const { return m_target; }
    DownloadOutcome run(const std::atomic<bool>& cancel, const ProgressFn& progress);

private:
    std::string m_url;
    QString m_target;
    std::string m_sha256;
};

}  // namespace tolvex
