#pragma once

// Saves the journal on a thread of its own, so the window never waits for the disk. The
// window hands over the newest state whenever it changed; a state that comes while an
// earlier one is being written waits, and a newer one replaces it before it is written:
// however fast states come, one write runs at a time and the last state is always the
// one that ends on the disk.
//
// Thread use: construct, submit, flush, stop and destroy on one thread (the UI thread); the
// documents are made and written on the writer's thread. The counters may be read from any
// thread.

#include "tasks/QueueJournal.h"

#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace tolvex {

class QueueJournalWriter {
public:
    explicit QueueJournalWriter(QString path);
    ~QueueJournalWriter();
    QueueJournalWriter(const QueueJournalWriter&) = delete;
    QueueJournalWriter& operator=(const QueueJournalWriter&) = delete;

    const QString& path() const { return m_path; }

    // The journal's newest state, to be written as soon as the writer is free.
    void submit(QueueJournal journal);
    // Returns once every state submitted so far is on the disk (or failed to get there).
    void flush();
    // Ends the thread. The state still waiting is dropped; a write under way is finished.
    // Nothing is written after this returns.
    void stop();

    // Writes tried so far (a failed one counts too).
    int writeCount() const;
    // Why the last write failed; empty after a good one.
    QString lastError() const;

private:
    void run();

    const QString m_path;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::optional<QueueJournal> m_pending;
    bool m_writing = false;
    bool m_stopping = false;
    int m_writes = 0;
    QString m_lastError;
    std::thread m_thread;
};

}  // namespace tolvex
