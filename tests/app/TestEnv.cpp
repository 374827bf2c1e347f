#include "TestEnv.h"

#include <QDir>

namespace tolvex::test {

ScopedHome::ScopedHome() : m_oldHome(qgetenv("HOME")), m_oldData(qgetenv("XDG_DATA_HOME"))
{
    QDir(m_dir.path()).mkpath(QStringLiteral("Documents"));
    qputenv("HOME", m_dir.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", dataHome().toLocal8Bit());
}

ScopedHome::~ScopedHome()
{
    qputenv("HOME", m_oldHome);
    if (m_oldData.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", m_oldData);
}

}  // namespace tolvex::test
