#include "tasks/QueueJournalWriter.h"

#include "app/ConsoleLog.h"
#include "tasks/QueueJournalFile.h"
#include "tasks/QueueJournalJson.h"

namespace tolvex {

QueueJournalWriter::QueueJournalWriter(QString path) : m_path(std::move(path))
{
    m_thread = std::thread(&QueueJournalWriter::run, this);
}

QueueJournalWriter::~QueueJournalWriter()
{
    stop();
}

void QueueJournalWriter::submit(QueueJournal journal)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_stopping)
            return;
        m_pending = std::move(journal);
    }
    m_wake.notify_one();
}

void QueueJournalWriter::flush()
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_idle.wait(lock, [this] { return (!m_pending && !m_writing) || m_stopping; });
}

void QueueJournalWriter::stop()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stopping = true;
        m_pending.reset();
    }
    m_wake.notify_one();
    m_idle.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

int QueueJournalWriter::writeCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_writes;
}

QString QueueJournalWriter::lastError() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_lastError;
}

void QueueJournalWriter::run()
{
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;) {
        m_wake.wait(lock, [this] { return m_pending.has_value() || m_stopping; });
        if (m_stopping)
            break;
        QueueJournal journal = std::move(*m_pending);
        m_pending.reset();
        m_writing = true;
        lock.unlock();

        QString error;
        const bool written = WriteQueueJournalFile(m_path, QueueJournalToJson(journal), &error);
        if (!written)
            ConsoleError("cannot write the queue journal %s: %s\n", m_path.toStdString().c_str(),
                         error.toStdString().c_str());

        lock.lock();
        m_writing = false;
        ++m_writes;
        m_lastError = written ? QString() : error;
        if (!m_pending)
            m_idle.notify_all();
    }
    m_writing = false;
    m_idle.notify_all();
}

}  // namespace tolvex
