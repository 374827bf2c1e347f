#include "ui/framework/DesignerPluginsHidden.h"

#include <QCoreApplication>

namespace tolvex {

DesignerPluginsHidden::DesignerPluginsHidden() : m_pluginFolders(QCoreApplication::libraryPaths())
{
    QCoreApplication::setLibraryPaths({});
}

void DesignerPluginsHidden::showPluginFolders()
{
    // The plugins loaded so far stay loaded; the image and platform plugins found later are
    // looked for in the same folders as before.
    QCoreApplication::setLibraryPaths(m_pluginFolders);
}

}  // namespace tolvex
