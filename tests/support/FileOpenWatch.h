#pragma once

// Seeing code reach a file: an inotify watch that counts how often the file was opened
// and how often it was closed after reading, by any thread or process. A test waits on
// that instead of sleeping, e.g. until a probe has opened a live playlist a second time,
// which proves it has used up what was there and is waiting for more.
//
// Thread use: one thread at a time (the one that waits).

#include <QString>

namespace tolvex::test {

class FileOpenWatch {
public:
    // Watches `path`, which must exist.
    explicit FileOpenWatch(const QString& path);
    ~FileOpenWatch();
    FileOpenWatch(const FileOpenWatch&) = delete;
    FileOpenWatch& operator=(const FileOpenWatch&) = delete;

    // False when the watch could not be set up (the file is missing).
    bool isValid() const { return m_watch >= 0; }

    // Waits until the file was opened at least `count` times since the watch began;
    // false when `timeoutMs` passed first.
    bool waitForOpens(int count, int timeoutMs = 30000);
    // The same for closes after reading.
    bool waitForReads(int count, int timeoutMs = 30000);

    int opens() const { return m_opens; }
    int reads() const { return m_reads; }

private:
    // Reads the events that came so far, waiting at most `timeoutMs` for the first.
    void collect(int timeoutMs);
    bool waitUntil(const int& counter, int count, int timeoutMs);

    int m_fd = -1;
    int m_watch = -1;
    int m_opens = 0;
    int m_reads = 0;
};

}  // namespace tolvex::test
