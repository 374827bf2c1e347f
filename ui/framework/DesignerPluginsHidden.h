#pragma once

#include <QStringList>

namespace tolvex {

// A QUiLoader looks for Qt Designer plugins beside Qt's other plugins when it is made, and
// loads every one it finds (the Qt Quick widget's plugin brings Qt Quick and QML along, tens
// of milliseconds of library loading at the program's start). The skins use none: while
// the loader is made, Qt's plugin folders are hidden from it. A base of SkinLoader, so that
// it is made before the QUiLoader and undone in SkinLoader's constructor.
// Thread use: UI thread only (no other thread loads plugins meanwhile).
class DesignerPluginsHidden {
protected:
    DesignerPluginsHidden();
    void showPluginFolders();

private:
    QStringList m_pluginFolders;
};

}  // namespace tolvex
