// The journal's file: read back as written, never deleted when it cannot be used (moved
// aside instead), whole after a kill in the middle of a save, and a thousand items saved
// through the writer without a write for each change.

#include "tasks/QueueJournalFile.h"
#include "tasks/QueueJournalJson.h"
#include "tasks/QueueJournalWriter.h"
#include "tests/journal/JournalSamples.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tolvex::test {
namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class QueueJournalFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.filePath(QStringLiteral("queue.json")); }
    QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir m_dir;
};

TEST_F(QueueJournalFileTest, ASavedJournalReadsBack)
{
    EXPECT_EQ(LoadQueueJournal(path()).outcome, JournalLoad::Outcome::NoFile);
    const QueueJournal journal = FullJournal();
    ASSERT_TRUE(WriteQueueJournalFile(path(), QueueJournalToJson(journal)));
    const JournalLoad load = LoadQueueJournal(path());
    ASSERT_EQ(load.outcome, JournalLoad::Outcome::Read);
    EXPECT_TRUE(load.journal == journal);
    EXPECT_EQ(files(), QStringList{QStringLiteral("queue.json")}) << "no temporary file stays beside it";

    QString error;
    EXPECT_FALSE(WriteQueueJournalFile(m_dir.filePath(QStringLiteral("missing/queue.json")), "{}", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(QueueJournalFileTest, AJournalThatCannotBeUsedIsMovedAsideNeverDeleted)
{
    const QByteArray corrupt = QueueJournalToJson(FullJournal()).left(200);
    QByteArray newer = QueueJournalToJson(FullJournal());
    newer.replace("\"version\":1", "\"version\":7");
    ASSERT_NE(QueueJournalFromJson(newer).status, JournalParse::Status::Ok);

    QStringList kept;
    for (const QByteArray& bytes : {corrupt, corrupt, newer}) {
        ASSERT_TRUE(Put(path(), bytes));
        const JournalLoad load = LoadQueueJournal(path());
        ASSERT_EQ(load.outcome, JournalLoad::Outcome::SetAside);
        EXPECT_FALSE(load.detail.isEmpty());
        EXPECT_TRUE(load.journal.hasNoItems());
        EXPECT_FALSE(QFile::exists(path())) << "the next start begins empty";
        EXPECT_EQ(Contents(load.setAsidePath), bytes) << "kept as it was";
        EXPECT_FALSE(kept.contains(load.setAsidePath)) << "each under its own name";
        kept << load.setAsidePath;
    }
    EXPECT_TRUE(QFileInfo(kept[0]).fileName().startsWith(QStringLiteral("queue-unreadable-"))) << kept[0].toStdString();
    EXPECT_TRUE(QFileInfo(kept[2]).fileName().startsWith(QStringLiteral("queue-v7-"))) << kept[2].toStdString();
    EXPECT_EQ(files().size(), 3);
}

TEST_F(QueueJournalFileTest, AKillDuringASaveLeavesAWholeJournal)
{
    // Two journals of a thousand items each, saved in turn by a child process that is
    // killed at a random moment: the file holds one or the other, whole.
    const QueueJournal first = ConvertJournal(1000, QStringLiteral("/media"), QStringLiteral("first"), 10);
    const QueueJournal second = ConvertJournal(1000, QStringLiteral("/media"), QStringLiteral("second"), 20);
    const QByteArray documents[] = {QueueJournalToJson(first), QueueJournalToJson(second)};
    ASSERT_TRUE(WriteQueueJournalFile(path(), documents[0]));

    std::mt19937 random(42);
    int sawSecond = 0;
    for (int round = 0; round < 24; ++round) {
        int started[2];
        ASSERT_EQ(::pipe(started), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The second document first, and a word once it is saved: on a loaded machine the
            // child may get no time before the kill, and then it would have saved nothing.
            WriteQueueJournalFile(path(), documents[1]);
            const char saved = 1;
            (void)!::write(started[1], &saved, 1);
            for (unsigned i = 0;; ++i)
                WriteQueueJournalFile(path(), documents[i % 2]);
        }
        ::close(started[1]);
        char saved = 0;
        ASSERT_EQ(::read(started[0], &saved, 1), 1);
        ::close(started[0]);
        ::usleep(static_cast<useconds_t>(random() % 40000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        const JournalLoad load = LoadQueueJournal(path());
        ASSERT_EQ(load.outcome, JournalLoad::Outcome::Read) << "round " << round << ": " << load.detail.toStdString();
        const bool isFirst = load.journal == first;
        const bool isSecond = load.journal == second;
        ASSERT_TRUE(isFirst || isSecond) << "round " << round;
        sawSecond += isSecond ? 1 : 0;
    }
    EXPECT_GT(sawSecond, 0) << "the child got to save";
    // The next save clears what the killed ones left.
    ASSERT_TRUE(WriteQueueJournalFile(path(), documents[0]));
    EXPECT_EQ(files(), QStringList{QStringLiteral("queue.json")}) << "the killed saves left no temporary file";
}

TEST_F(QueueJournalFileTest, AThousandItemsGoThroughTheWriterInAFewWrites)
{
    // A list growing to a thousand items, the writer told of every step.
    QueueJournalWriter writer(path());
    const QueueJournal full = ConvertJournal(1000, m_dir.path(), QStringLiteral("step"), 3);
    QueueJournal growing;
    auto& items = growing.page(PageKind::Convert).items;
    for (const JournalItem& item : full.page(PageKind::Convert).items) {
        items.push_back(item);
        writer.submit(growing);
    }
    writer.flush();
    EXPECT_EQ(writer.lastError(), QString());
    EXPECT_GE(writer.writeCount(), 1);
    EXPECT_LT(writer.writeCount(), 500) << "states that came while one was written were not each written";
    const JournalLoad load = LoadQueueJournal(path());
    ASSERT_EQ(load.outcome, JournalLoad::Outcome::Read);
    EXPECT_TRUE(load.journal == full) << "the last state is the one on the disk";
    EXPECT_EQ(load.journal.itemCount(), 1000U);
    EXPECT_EQ(load.journal.unfinishedCount(), 997);

    // Once stopped, nothing more is written.
    writer.stop();
    const int writes = writer.writeCount();
    writer.submit(QueueJournal{});
    writer.flush();
    EXPECT_EQ(writer.writeCount(), writes);
    EXPECT_TRUE(LoadQueueJournal(path()).journal == full);
}

}  // namespace
}  // namespace tolvex::test
