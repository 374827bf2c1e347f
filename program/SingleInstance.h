#pragma once

// One running program per user (and data folder). The first start holds a lock file and
// listens on a local socket, both named after "TolvexVideoConverterProcessMutex"; a
// second start finds the lock taken, connects, asks the first to come forward, hands it
// the files it was started with (to be added to the convert page) and ends.
// The request is text: "activate", then one "open <file URL>" line per file (URL-encoded,
// so any file name fits on its line), then "end".
// The key carries the user id and a digest of the data folder, so programs with their own
// data folders (tests) do not see each other.
// Thread use: UI thread only.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tolvex {

class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& key = keyForUser());
    ~SingleInstance() override;

    // "TolvexVideoConverterProcessMutex-<uid>-<data folder digest>".
    static QString keyForUser();

    // Takes the lock and starts listening; false when another instance holds it.
    bool tryBecomePrimary();
    // Before the application object exists: when another instance holds the lock, asks it
    // to come forward (with `files`, absolute paths) and returns true. A second start then
    // ends without loading the GUI, which keeps it quick on a busy machine. Holds no lock
    // afterwards.
    static bool handOverToRunning(const QString& key = keyForUser(), const QStringList& files = {});
    // Asks the running instance to come forward with `files`; false when none answered in time.
    bool activatePrimary(int timeoutMs = 2000, const QStringList& files = {});
    // Called on the UI thread when a later start asks this instance to come forward, with
    // the files that start was given (often none). Requests that came while no handler was
    // set (the window still loading) are handed to the handler when it is set, in order.
    using ActivationHandler = std::function<void(const QStringList& files)>;
    void setActivationHandler(ActivationHandler handler);
    // Requests received so far, whether handled or still waiting for a handler.
    int receivedRequests() const { return m_received; }

    // The request text for `files`, and the files of a complete request (nullopt while
    // the request is not complete: no "end" line yet).
    static QByteArray encodeRequest(const QStringList& files);
    static std::optional<QStringList> decodeRequest(const QByteArray& request);

private:
    void onNewConnection();
    void deliver(const QStringList& files);

    QString m_key;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
    ActivationHandler m_onActivate;
    std::vector<QStringList> m_waiting;
    int m_received = 0;
};

}  // namespace tolvex
