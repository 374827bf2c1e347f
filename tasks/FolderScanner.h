#pragma once

// The walk of a chosen folder's subfolders, off the window's thread: a tree of thousands of
// entries takes time to read, and the window must keep answering meanwhile. Each scan
// runs on its own thread and posts WM_SUBFOLDERS_SCANNED (SubfolderScanRecord) with what
// it found to the receiver.
//
// Thread use: scan and shutdown are called on the receiver's (UI) thread; the walks run on
// the scanner's threads. shutdown (also run by the destructor) stops the walks and joins
// their threads; no message is posted after it returns.

#include "app/PostedMessage.h"
#include "tasks/TaskTypes.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tolvex {

// The accepted files below a chosen folder, not counting those directly in it.
struct SubfolderScanRecord : MessageRecord {
    PageKind page = PageKind::Convert;
    QString folder;     // the chosen folder
    QStringList files;  // full paths, in walk order (FolderWalk)
};

class FolderScanner {
public:
    explicit FolderScanner(QObject* receiver) : m_receiver(receiver) {}
    ~FolderScanner();
    FolderScanner(const FolderScanner&) = delete;
    FolderScanner& operator=(const FolderScanner&) = delete;

    // Starts walking `folder`'s subfolders, passing over the folders in `skipped`.
    void scan(PageKind page, const QString& folder, const QStringList& skipped);
    void shutdown();

private:
    struct Walker {
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    void reapFinished();

    QPointer<QObject> m_receiver;
    std::atomic<bool> m_stopping{false};
    std::mutex m_postLock;  // a post and shutdown do not cross: none comes after shutdown
    std::vector<std::unique_ptr<Walker>> m_walkers;
};

}  // namespace tolvex
