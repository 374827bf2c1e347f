#include "tasks/HeadlessRunner.h"

#include "tasks/ProgressMath.h"

#include <cstdio>
#include <optional>

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
    const auto number = static_cast<int>(event->type());
    if (number != WM_TASK_PROGRESS && number != WM_TASK_DONE && number != WM_TASK_FAILED && number != WM_TASK_OUTPUT &&
        number != WM_TASK_STARTED)
        return QObject::event(event);
    const std::optional<TaskUpdate> update = m_decoder.decode(*static_cast<MessageEvent*>(event));
    if (!update)
        return true;
    const char* page = PageName(update->page);
    switch (update->kind) {
    case TaskUpdate::Kind::Started:
        break;
    case TaskUpdate::Kind::Progress:
        if (m_printProgress)
            std::fprintf(stderr, "%s %d: %d%%%s\n", page, update->taskId, update->percent,
                         TimeLeftSuffix(*update).c_str());
        if (m_callbacks.progress)
            m_callbacks.progress(*update);
        break;
    case TaskUpdate::Kind::Done:
        ++m_doneCount;
        if (m_printProgress)
            std::fprintf(stderr, "%s %d: done%s\n", page, update->taskId, TimeTakenSuffix(*update).c_str());
        if (m_callbacks.done)
            m_callbacks.done(*update);
        break;
    case TaskUpdate::Kind::Failed:
        ++m_failedCount;
        if (m_printProgress)
            std::fprintf(stderr, "%s %d: failed %s\n", page, update->taskId, update->reason.c_str());
        if (m_callbacks.failed)
            m_callbacks.failed(*update);
        break;
    case TaskUpdate::Kind::Output:
        if (m_callbacks.output)
            m_callbacks.output(*update);
        break;
    }
    return true;
}

std::string TimeLeftSuffix(const TaskUpdate& update)
{
    if (!update.timeLeftMs)
        return {};
    return ", " + ShortClockText(*update.timeLeftMs, ClockRounding::Up) + " left";
}

std::string DroppedSuffix(const std::string& dropped)
{
    return dropped.empty() ? std::string() : ", " + dropped;
}

std::string TimeTakenSuffix(const TaskUpdate& update)
{
    return ", took " + ShortClockText(update.elapsedMs);
}

}  // namespace tolvex
