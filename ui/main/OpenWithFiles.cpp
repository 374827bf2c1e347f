#include "ui/main/OpenWithFiles.h"

#include "ui/main/CMainWnd.h"
#include "ui/main/MediaAdder.h"

#include <QFileInfo>

namespace tolvex {

void OpenFilesOnConvertPage(CMainWnd& window, const QStringList& paths)
{
    auto* adder = window.handler<MediaAdder>();
    if (paths.isEmpty() || !adder)
        return;
    window.selectPage(PageKind::Convert);
    QStringList files;
    for (const QString& path : paths) {
        if (QFileInfo(path).isDir()) {
            // Keeps the order: the files before the folder go in first.
            adder->addFiles(PageKind::Convert, files);
            files.clear();
            adder->addFolder(PageKind::Convert, path);
        } else {
            files << path;
        }
    }
    adder->addFiles(PageKind::Convert, files);
}

}  // namespace tolvex
