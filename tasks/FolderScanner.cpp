#include "tasks/FolderScanner.h"

#include "tasks/FolderWalk.h"

#include <algorithm>

namespace tolvex {

FolderScanner::~FolderScanner()
{
    shutdown();
}

void FolderScanner::scan(PageKind page, const QString& folder, const QStringList& skipped)
{
    reapFinished();
    if (m_stopping)
        return;
    auto walker = std::make_unique<Walker>();
    Walker* own = walker.get();
    QObject* receiver = m_receiver.data();
    own->thread = std::thread([this, own, receiver, page, folder, skipped] {
        FolderWalkRules rules;
        rules.skipped = skipped;
        rules.withTopLevel = false;
        rules.abort = &m_stopping;
        auto record = std::make_unique<SubfolderScanRecord>();
        record->page = page;
        record->folder = folder;
        record->files = WalkVideoFolder(folder, rules);
        {
            const std::lock_guard guard(m_postLock);
            if (!m_stopping)
                PostMessageTo(receiver, WM_SUBFOLDERS_SCANNED, std::move(record));
        }
        own->finished = true;
    });
    m_walkers.push_back(std::move(walker));
}

void FolderScanner::reapFinished()
{
    for (auto& walker : m_walkers) {
        if (walker->finished && walker->thread.joinable())
            walker->thread.join();
    }
    m_walkers.erase(std::remove_if(m_walkers.begin(), m_walkers.end(),
                                   [](const std::unique_ptr<Walker>& w) { return !w->thread.joinable(); }),
                    m_walkers.end());
}

void FolderScanner::shutdown()
{
    {
        const std::lock_guard guard(m_postLock);
        m_stopping = true;
    }
    for (auto& walker : m_walkers) {
        if (walker->thread.joinable())
            walker->thread.join();
    }
    m_walkers.clear();
}

}  // namespace tolvex
