#include "tasks/PageTexts.h"

namespace tolvex {

const char* const kQueueSizeLine = "队列数据,size: %d,%d\n";

QueueLogLines QueueLogLinesFor(PageKind page)
{
    switch (page) {
    case PageKind::Convert:
        return {"idleTaskList task_id: %d\n", "busyTaskList task_id: %d\n"};
    case PageKind::Split:
        return {"splitIdleTaskList task_id: %d\n", "splitBusyTaskList task_id: %d\n"};
    case PageKind::Compress:
        return {"compressIdleTaskList task_id: %d\n", "compressBusyTaskList task_id: %d\n"};
    case PageKind::Rotate:
        return {"rotateIdleTaskList task_id: %d\n", "rotateBusyTaskList task_id: %d\n"};
    case PageKind::Gif:
        return {"gifIdleTaskList task_id: %d\n", "gifBusyTaskList task_id: %d\n"};
    case PageKind::Extract:
        return {"extractIdleTaskList task_id: %d\n", "extractBusyTaskList task_id: %d\n"};
    case PageKind::Mute:
        return {"muteIdleTaskList task_id: %d\n", "muteBusyTaskList task_id: %d\n"};
    case PageKind::Music:
        return {"musicIdleTaskList task_id: %d\n", "musicBusyTaskList task_id: %d\n"};
    case PageKind::Merge:
        break;
    }
    return {"", ""};
}

bool LogsAppPath(PageKind page)
{
    switch (page) {
    case PageKind::Split:
    case PageKind::Gif:
    case PageKind::Rotate:
    case PageKind::Extract:
    case PageKind::Mute:
    case PageKind::Music:
        return true;
    default:
        return false;
    }
}

}  // namespace tolvex
