#pragma once

// The journal's file: TolvexVideoConverter/Data/queue.json under the data folder. It is
// always replaced whole: the new document goes to a temporary file beside it, is flushed
// to the disk and then renamed over the old one, so a crash or a kill at any moment
// leaves either the old journal or the new one, never a mixture.
// A file that cannot be read as a journal of this version is never deleted: it is moved
// aside to a new name beside it, and the caller says so in the log.
// Thread use: any thread; the file system is the only shared state.

#include "tasks/QueueJournal.h"

#include <QByteArray>
#include <QString>

namespace tolvex {

QString QueueJournalPath();

// False and `error` when the file could not be written (the old one is left as it was).
bool WriteQueueJournalFile(const QString& path, const QByteArray& document, QString* error = nullptr);

struct JournalLoad {
    enum class Outcome {
        NoFile,    // nothing there: start empty
        Read,      // `journal` holds it
        SetAside,  // unreadable, unknown or newer: moved to `setAsidePath` (empty when even that failed)
    };
    Outcome outcome = Outcome::NoFile;
    QueueJournal journal;
    QString setAsidePath;
    QString detail;  // why it was set aside
};

JournalLoad LoadQueueJournal(const QString& path);

}  // namespace tolvex
