#pragma once

// A private HOME and XDG data folder for one test, removed afterwards.

#include <QString>
#include <QTemporaryDir>

namespace tolvex::test {

class ScopedHome {
public:
    ScopedHome();
    ~ScopedHome();
    QString home() const { return m_dir.path(); }
    QString dataHome() const { return m_dir.path() + QStringLiteral("/data"); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    QByteArray m_oldData;
};

}  // namespace tolvex::test
