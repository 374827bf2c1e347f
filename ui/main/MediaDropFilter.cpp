#include "ui/main/MediaDropFilter.h"

#include "media/MediaImportRules.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/MediaAdder.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace tolvex {

namespace {

bool TakesDrops(PageKind page)
{
    return page != PageKind::Split && page != PageKind::Gif;
}

bool IsVideoKind(const QString& fileName)
{
    const QString extension = FileExtension(fileName).toLower();
    for (const char* word : kVideoFormatWords) {
        if (extension == QLatin1String(word))
            return true;
    }
    // The picker's "*ogv" pattern takes any name ending in "ogv".
    return fileName.endsWith(QLatin1String("ogv"), Qt::CaseInsensitive);
}

}  // namespace

DroppedMedia AcceptedDrop(const QMimeData* mime, PageKind page)
{
    DroppedMedia dropped;
    if (!mime || !mime->hasUrls() || !TakesDrops(page))
        return dropped;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo info(url.toLocalFile());
        if (info.isDir())
            dropped.folders << info.absoluteFilePath();
        else if (info.isFile() && IsVideoKind(info.fileName()))
            dropped.files << info.absoluteFilePath();
    }
    return dropped;
}

MediaDropFilter::MediaDropFilter(CMainWnd& window, MediaAdder& adder)
    : QObject(&window), m_window(window), m_adder(adder)
{
    m_window.setAcceptDrops(true);
    m_window.installEventFilter(this);
}

bool MediaDropFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_window)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!AcceptedDrop(drag->mimeData(), m_window.currentPage()).empty())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const PageKind page = m_window.currentPage();
        const DroppedMedia dropped = AcceptedDrop(drop->mimeData(), page);
        if (dropped.empty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // Files first, in the order dropped, then each folder's files.
        m_adder.addFiles(page, dropped.files, MediaAdder::Source::Picker);
        for (const QString& folder : dropped.folders)
            m_adder.addFolder(page, folder);
        return true;
    }
    default:
        return false;
    }
}

}  // namespace tolvex
