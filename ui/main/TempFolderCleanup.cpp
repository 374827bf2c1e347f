#include "ui/main/TempFolderCleanup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tolvex {

int RemovePlainFiles(const QString& folder)
{
    if (folder.isEmpty())
        return 0;
    const QDir dir(folder);
    // Files (and links to files, removed as links); folders, links to folders, sockets and
    // pipes are not listed.
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    int removed = 0;
    for (const QFileInfo& entry : entries) {
        if (QFile::remove(entry.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

}  // namespace tolvex
