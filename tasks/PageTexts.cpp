#include "tasks/PageTexts.h"

namespace tolvex {

const char* const kQueueSizeLine = "队列数据,size: %d,%d\n";

StartButtonTexts StartButtonTextsFor(PageKind page)
{
    switch (page) {
    case PageKind::Convert:
        return {"video-convert-btn", "转换中", "开始转换"};
    case PageKind::Split:
        return {"video-split-btn", "处理中", "一键裁剪"};
    case PageKind::Merge:
        return {"video-merge-btn", "合并中", "一键合并"};
    case PageKind::Compress:
        return {"video-compress-btn", "压缩中", "一键压缩"};
    case PageKind::Rotate:
        return {"video-rotate-btn", "处理中", "一键旋转"};
    case PageKind::Gif:
        return {"video-gif-btn", "处理中", "开始转换"};
    case PageKind::Extract:
        return {"video-extract-btn", "转换中", "开始转换"};
    case PageKind::Mute:
        return {"video-mute-btn", "处理中", "一键消音"};
    case PageKind::Music:
        return {"video-music-btn", "处理中", "一键配乐"};
    }
    return {"", "", ""};
}

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
