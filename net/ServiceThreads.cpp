#include "net/ServiceThreads.h"

#include <system_error>

namespace tolvex {

ServiceThreads::~ServiceThreads()
{
    stopAll();
}

bool ServiceThreads::start(Work work)
{
    joinFinished();
    if (m_abort.load() || !work)
        return false;
    auto done = std::make_shared<std::atomic<bool>>(false);
    try {
        std::thread thread([this, work = std::move(work), done] {
            work(m_abort);
            done->store(true);
        });
        m_threads.push_back(Entry{std::move(thread), done});
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

int ServiceThreads::runningCount()
{
    joinFinished();
    return static_cast<int>(m_threads.size());
}

void ServiceThreads::stopAll()
{
    m_abort.store(true);
    for (Entry& entry : m_threads) {
        if (entry.thread.joinable())
            entry.thread.join();
    }
    m_threads.clear();
}

void ServiceThreads::joinFinished()
{
    for (auto it = m_threads.begin(); it != m_threads.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = m_threads.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace tolvex
