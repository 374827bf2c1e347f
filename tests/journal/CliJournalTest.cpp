// tolvex-cli keeps no journal and never touches the window's: after a run, a journal left
// by a window that ended uncleanly is still there byte for byte, with its time.

#include "tasks/QueueJournalFile.h"
#include "tasks/QueueJournalJson.h"
#include "tests/app/TestEnv.h"
#include "tests/cli/CliRun.h"
#include "tests/journal/JournalSamples.h"
#include "tests/support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tolvex::test {
namespace {

TEST(CliJournalTest, TheCompanionLeavesTheWindowsJournalAlone)
{
    ScopedHome home;
    QTemporaryDir media;
    const QString input = media.filePath(QStringLiteral("a.mp4"));
    ASSERT_TRUE(MakeClip(input, Clip(160, 120, 1.0)));

    const QString path = QueueJournalPath();
    const QByteArray journal = QueueJournalToJson(ConvertJournal(3, media.path(), QStringLiteral("x"), 1));
    ASSERT_TRUE(WriteQueueJournalFile(path, journal));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    // An old time, so that any write shows.
    const QDateTime old = QDateTime::currentDateTime().addDays(-1);
    ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    file.close();

    const CliResult run = RunCli({QStringLiteral("convert"), QStringLiteral("--output-dir"), media.path(), input});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), journal);
    EXPECT_EQ(QFileInfo(path).lastModified(), old);
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files), QStringList{QStringLiteral("queue.json")});
}

}  // namespace
}  // namespace tolvex::test
