#pragma once

// Finds, away from the window's thread, the key frame at or before a time of one file: the
// split dialog shows where a lossless clip will really start while the start is typed or
// its flag dragged. Only the latest request matters: one asked while another is being
// answered replaces any that waits, and answers come back in the order found.
//
// Thread use: created, asked and destroyed on the UI thread; `found` is emitted there. A
// worker thread of its own runs the probes; the destructor stops and joins it (a probe
// under way gives up at its next read).

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tolvex {

class KeyFrameFinder : public QObject {
    Q_OBJECT

public:
    explicit KeyFrameFinder(std::string path, QObject* parent = nullptr);
    ~KeyFrameFinder() override;

    // Looks up the key frame at or before `seconds`.
    void find(int seconds);

signals:
    // `keyFrameSeconds` is negative when the file has no key frame to find.
    void found(int seconds, double keyFrameSeconds);

private:
    void run();

    const std::string m_path;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::optional<int> m_request;  // guarded by m_lock
    std::atomic<bool> m_stop{false};
    std::thread m_worker;
};

}  // namespace tolvex
