#pragma once

// One running program per user (and data folder). The first start holds a lock file and
// listens on a local socket, both named after "TolvexVideoConverterProcessMutex"; a
// second start finds the lock taken, connects, asks the first to come forward and ends.
// The key carries the user id and a digest of the data folder, so programs with their own
// data folders (tests) do not see each other.
// Thread use: UI thread only.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace tolvex {

class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& key = KeyForUser());
    ~SingleInstance() override;

    // "TolvexVideoConverterProcessMutex-<uid>-<data folder digest>".
    static QString KeyForUser();

    // Takes the lock and starts listening; false when another instance holds it.
    bool TryBecomePrimary();
    // Before the application object exists: when another instance holds the lock, asks it
    // to come forward and returns true. A second start then ends without loading the GUI,
    // which keeps it quick on a busy machine. Holds no lock afterwards.
    static bool HandOverToRunning(const QString& key = KeyForUser());
    // Asks the running instance to come forward; false when none answered in time.
    bool ActivatePrimary(int timeoutMs = 2000);
    // Called on the UI thread when a later start asks this instance to come forward.
    void SetActivationHandler(std::function<void()> handler) { m_onActivate = std::move(handler); }

private:
    void OnNewConnection();

    QString m_key;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_onActivate;
};

}  // namespace tolvex
