#pragma once

// The same tree out: an item that came from a folder scan writes its output under the
// output folder, in a folder named after the folder that was scanned, at the file's path
// relative to it ("<output>/Holiday 2024/day 1/"). Items added one by one write to the
// output folder itself. Plain functions; any thread.

#include "tasks/MediaItem.h"

#include <QString>

namespace tolvex {

// The "keep-tree" setting of [global] (on unless set to 0): whether folder scans' items
// keep their folders under the output folder.
bool KeepsFolderTree();

// The folder `item`'s output goes to: `outputFolder`, or with `keepTree` and an item from
// a folder scan, its mirrored folder below it. A file that is not below its scan root
// (it was moved, or the path is odd) writes to `outputFolder`.
QString ItemOutputFolder(const QString& outputFolder, const MediaItem& item, bool keepTree);

}  // namespace tolvex
