#include "tasks/OutputTree.h"

#include "app/Settings.h"

#include <QDir>
#include <QFileInfo>

namespace tolvex {

bool KeepsFolderTree()
{
    QString value;
    ReadSetting(QStringLiteral("global"), QStringLiteral("keep-tree"), QStringLiteral("1"), value, 0);
    return value.trimmed() != QLatin1String("0");
}

QString ItemOutputFolder(const QString& outputFolder, const MediaItem& item, bool keepTree)
{
    if (!keepTree || item.scanRoot.isEmpty() || outputFolder.isEmpty())
        return outputFolder;
    const QString root = QDir::cleanPath(item.scanRoot);
    const QString rootName = QFileInfo(root).fileName();
    // The root of the file system has no name of its own to mirror.
    if (rootName.isEmpty())
        return outputFolder;
    const QString relative = QDir(root).relativeFilePath(QFileInfo(item.fullPath).absolutePath());
    if (relative == QLatin1String("..") || relative.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(relative))
        return outputFolder;
    QString folder = QDir(outputFolder).filePath(rootName);
    if (relative != QLatin1String("."))
        folder = QDir(folder).filePath(relative);
    return QDir::cleanPath(folder);
}

}  // namespace tolvex
