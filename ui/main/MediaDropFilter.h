#pragma once

// Files and folders dropped on the main window go to the page on show, as its add
// buttons would take them: dropped folders by the folder scan's rule, dropped files when
// their extension is one of the video kinds (any letter case, as the picker filter).
// The split and gif pages take their files through their clip dialogs, not by drops.
// UI thread only.

#include "tasks/TaskTypes.h"

#include <QObject>
#include <QStringList>

class QMimeData;

namespace tolvex {

class CMainWnd;
class MediaAdder;

// The dropped local files and folders that `page` takes, split into files and folders.
struct DroppedMedia {
    QStringList files;
    QStringList folders;
    bool empty() const { return files.isEmpty() && folders.isEmpty(); }
};
DroppedMedia AcceptedDrop(const QMimeData* mime, PageKind page);

class MediaDropFilter : public QObject {
public:
    MediaDropFilter(CMainWnd& window, MediaAdder& adder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CMainWnd& m_window;
    MediaAdder& m_adder;
};

}  // namespace tolvex
