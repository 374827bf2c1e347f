#pragma once

// What the single-file command tests build their jobs from: a job context with a fixed
// program, output folder and time, and a media item in the folder "/in".

#include "tasks/JobInputs.h"
#include "tasks/MediaItem.h"

#include <QTime>

namespace tolvex::test {

inline const JobContext kContext{"/usr/bin/ffmpeg", "/out", QTime(9, 8, 7)};

inline MediaItem Item(const QString& name, int64_t size = 0)
{
    MediaItem item;
    item.fileName = name;
    item.folder = "/in";
    item.fullPath = "/in/" + name;
    item.fileSize = size;
    return item;
}

}  // namespace tolvex::test
