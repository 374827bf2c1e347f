#include "tasks/QueueJournalFile.h"

#include "app/Folders.h"
#include "tasks/QueueJournalJson.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tolvex {

namespace {

// "queue-unreadable-20240501-101500.json" beside the journal (a number added when taken).
QString SetAsideName(const QString& path, const QString& why)
{
    const QFileInfo info(path);
    const QString stem = info.completeBaseName() + QLatin1Char('-') + why + QLatin1Char('-') +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString candidate = info.dir().filePath(stem + suffix);
    for (int n = 1; QFileInfo::exists(candidate); ++n)
        candidate = info.dir().filePath(stem + QStringLiteral("-%1").arg(n) + suffix);
    return candidate;
}

JournalLoad SetAside(const QString& path, const QString& why, const QString& detail)
{
    JournalLoad load;
    load.outcome = JournalLoad::Outcome::SetAside;
    load.detail = detail;
    const QString target = SetAsideName(path, why);
    if (QFile::rename(path, target))
        load.setAsidePath = target;
    else
        load.detail += QStringLiteral(" (and it could not be moved aside)");
    return load;
}

}  // namespace

QString QueueJournalPath()
{
    return AppDataFolder(QStringLiteral("TolvexVideoConverter/Data")) + QStringLiteral("/queue.json");
}

bool WriteQueueJournalFile(const QString& path, const QByteArray& document, QString* error)
{
    // A save that was killed leaves its temporary file ("queue.json.XXXXXX") beside the
    // journal; only the one running window writes here, so any such file is a leftover.
    const QFileInfo target(path);
    QDir folder = target.dir();
    for (const QString& name : folder.entryList({target.fileName() + QStringLiteral(".??????")}, QDir::Files))
        folder.remove(name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

JournalLoad LoadQueueJournal(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return SetAside(path, QStringLiteral("unreadable"), file.errorString());
    const QByteArray document = file.readAll();
    file.close();

    const JournalParse parse = QueueJournalFromJson(document);
    switch (parse.status) {
    case JournalParse::Status::Ok: {
        JournalLoad load;
        load.outcome = JournalLoad::Outcome::Read;
        load.journal = parse.journal;
        return load;
    }
    case JournalParse::Status::NewerVersion:
        return SetAside(path, QStringLiteral("v%1").arg(parse.version), parse.detail);
    case JournalParse::Status::UnknownVersion:
        return SetAside(path, QStringLiteral("unknown-version"), parse.detail);
    case JournalParse::Status::Unreadable:
        break;
    }
    return SetAside(path, QStringLiteral("unreadable"), parse.detail);
}

}  // namespace tolvex
