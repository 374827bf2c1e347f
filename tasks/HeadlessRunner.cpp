#include "tasks/HeadlessRunner.h"

#include "tasks/ProgressMath.h"

#include <cstdio>

namespace tolvex {

const char* PageName(PageKind page)
{
    switch (page) {
    case PageKind::Convert:
        return "convert";
    case PageKind::Split:
        return "split";
    case PageKind::Merge:
        return "merge";
    case PageKind::Compress:
        return "compress";
    case PageKind::Rotate:
        return "rotate";
    case PageKind::Gif:
        return "gif";
    case PageKind::Extract:
        return "extract";
    case PageKind::Mute:
        return "mute";
    case PageKind::Music:
        return "music";
    }
    return "?";
}

HeadlessRunner::HeadlessRunner(JobFactory& factory, QObject* parent) : QObject(parent)
{
    m_engine = std::make_unique<TaskEngine>(*this, factory);
    m_engine->startWorkers();
}

HeadlessRunner::~HeadlessRunner()
{
    // The engine goes first: its readers post to this object until they are joined.
    m_engine.reset();
}

void HeadlessRunner::setPageBusy(PageKind page, bool busy)
{
    if (busy) {
        m_busyPages.insert(page);
        return;
    }
    m_busyPages.erase(page);
    if (m_busyPages.empty() && m_loop)
        m_loop->quit();
}

int HeadlessRunner::run()
{
    const int failedBefore = m_failedCount;
    if (!m_busyPages.empty()) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec();
        m_loop = nullptr;
    }
    return m_failedCount - failedBefore;
}

bool HeadlessRunner::event(QEvent* event)
{
    AcceptPostedMessage();
    switch (static_cast<int>(event->type())) {
    case WM_TASK_PROGRESS: {
        const auto* record = static_cast<MessageEvent*>(event)->recordAs<ProgressRecord>();
        if (!record)
            return true;
        const auto page = static_cast<PageKind>(record->pageKind);
        const int percent = page == PageKind::Merge ? MergeProgressPercent(record->positionMs, m_mergeTotalSeconds)
                                                    : ProgressPercent(record->positionMs, record->durationMs);
        if (m_printProgress)
            std::fprintf(stderr, "%s %d: %d%%\n", PageName(page), record->taskId, percent);
        if (m_callbacks.progress)
            m_callbacks.progress(*record, percent);
        return true;
    }
    case WM_TASK_DONE: {
        const auto* record = static_cast<MessageEvent*>(event)->recordAs<CompletionRecord>();
        if (!record)
            return true;
        ++m_doneCount;
        const auto page = static_cast<PageKind>(record->pageKind);
        if (m_printProgress)
            std::fprintf(stderr, "%s %d: done\n", PageName(page), record->taskId);
        if (m_callbacks.done)
            m_callbacks.done(*record);
        return true;
    }
    case WM_TASK_FAILED: {
        const auto* record = static_cast<MessageEvent*>(event)->recordAs<FailureRecord>();
        if (!record)
            return true;
        ++m_failedCount;
        const auto page = static_cast<PageKind>(record->pageKind);
        if (m_printProgress)
            std::fprintf(stderr, "%s %d: failed %s\n", PageName(page), record->taskId, record->reason.c_str());
        if (m_callbacks.failed)
            m_callbacks.failed(*record);
        return true;
    }
    case WM_TASK_OUTPUT: {
        const auto* record = static_cast<MessageEvent*>(event)->recordAs<OutputNameRecord>();
        if (record && m_callbacks.output)
            m_callbacks.output(*record);
        return true;
    }
    default:
        return QObject::event(event);
    }
}

}  // namespace tolvex
