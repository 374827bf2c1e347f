// What a start after an unclean end makes of a journal: running work comes back waiting
// with its half-written files named for deletion, finished and failed items stay as they
// were, an item whose input is gone fails with "源文件不存在", and the merge follows the
// same rules for its ticked inputs.

#include "tasks/QueueRestorePlan.h"
#include "tests/journal/JournalSamples.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace tolvex::test {
namespace {

std::set<QString> AsSet(const std::vector<QString>& files)
{
    return {files.begin(), files.end()};
}

JournalState StateOf(const QueueRestorePlan& plan, PageKind page, size_t index)
{
    return plan.lists.page(page).items.at(index).job.state;
}

TEST(QueueRestorePlanTest, RunningWorkComesBackWaitingAndItsHalfFilesGo)
{
    QueueJournal journal = FullJournal();
    const QueueRestorePlan plan = PlanQueueRestore(journal, [](const QString&) { return true; });

    EXPECT_FALSE(plan.lists.closedCleanly);
    // Convert: done, running, failed, waiting, listed.
    EXPECT_EQ(StateOf(plan, PageKind::Convert, 0), JournalState::Done);
    EXPECT_EQ(plan.lists.page(PageKind::Convert).items[0].job, journal.page(PageKind::Convert).items[0].job)
        << "a finished item keeps its file and the time it took";
    EXPECT_EQ(StateOf(plan, PageKind::Convert, 1), JournalState::Waiting);
    EXPECT_TRUE(plan.lists.page(PageKind::Convert).items[1].job.output.isEmpty());
    EXPECT_EQ(StateOf(plan, PageKind::Convert, 2), JournalState::Failed);
    EXPECT_EQ(plan.lists.page(PageKind::Convert).items[2].job.reason,
              journal.page(PageKind::Convert).items[2].job.reason);
    EXPECT_EQ(StateOf(plan, PageKind::Convert, 3), JournalState::Waiting);
    EXPECT_EQ(StateOf(plan, PageKind::Convert, 4), JournalState::Listed) << "never started, not started now";
    EXPECT_EQ(StateOf(plan, PageKind::Compress, 0), JournalState::Waiting);
    EXPECT_EQ(StateOf(plan, PageKind::Split, 0), JournalState::Waiting);
    EXPECT_EQ(StateOf(plan, PageKind::Gif, 0), JournalState::Done);
    EXPECT_EQ(plan.lists.page(PageKind::Merge).mergeJob.state, JournalState::Waiting);
    for (const JournalItem& row : plan.lists.page(PageKind::Merge).items)
        EXPECT_EQ(row.job.state, JournalState::Listed) << "merge rows have no job of their own";

    // The outputs and pass logs of the jobs that were running, nothing else.
    EXPECT_EQ(AsSet(plan.staleFiles),
              (std::set<QString>{QStringLiteral("/o/b-101500-1.mp4"), QStringLiteral("/o/big-101500.mp4"),
                                 QStringLiteral("/t/compress-pass-7-0-0.log"),
                                 QStringLiteral("/t/compress-pass-7-0-0.log.mbtree"),
                                 QStringLiteral("/o/视频合并-101500.mkv")}));
    // Convert running and waiting, compress, split, merge.
    EXPECT_EQ(plan.unfinished, 5);
    EXPECT_EQ(plan.unfinished, plan.lists.unfinishedCount());

    // A finished file is never taken for a half one.
    journal.page(PageKind::Convert).items[1].job.output = journal.page(PageKind::Convert).items[0].job.output;
    const QueueRestorePlan same = PlanQueueRestore(journal, [](const QString&) { return true; });
    EXPECT_EQ(AsSet(same.staleFiles).count(journal.page(PageKind::Convert).items[0].job.output), 0U);
}

TEST(QueueRestorePlanTest, AnItemWhoseInputIsGoneFailsWithSourceMissing)
{
    const QueueJournal journal = FullJournal();
    const std::set<QString> gone = {QStringLiteral("/v/视频 一.mp4"), QStringLiteral("/v/b.mov"),
                                    QStringLiteral("/v/e.mp4"), QStringLiteral("/v/长 片.mp4"),
                                    QStringLiteral("/v/m2.mp4")};
    const auto exists = [&](const QString& path) { return gone.count(path) == 0; };
    QueueRestorePlan plan = PlanQueueRestore(journal, exists);

    const QString missing = QString::fromUtf8(kSourceMissingReason);
    EXPECT_EQ(missing, QStringLiteral("源文件不存在"));
    EXPECT_EQ(StateOf(plan, PageKind::Convert, 0), JournalState::Done) << "its output is there";
    for (const size_t index : {1U, 4U}) {
        const JournalJob& job = plan.lists.page(PageKind::Convert).items[index].job;
        EXPECT_EQ(job.state, JournalState::Failed) << index;
        EXPECT_EQ(job.reason, missing) << index;
    }
    EXPECT_EQ(plan.lists.page(PageKind::Split).items[0].job.reason, missing) << "a clip's source counts";
    EXPECT_EQ(AsSet(plan.staleFiles).count(QStringLiteral("/o/b-101500-1.mp4")), 1U)
        << "its half file goes all the same";
    EXPECT_EQ(plan.lists.page(PageKind::Merge).mergeJob.state, JournalState::Waiting)
        << "only the ticked rows are the merge's inputs";
    // Convert waiting (d.mp4), compress, merge.
    EXPECT_EQ(plan.unfinished, 3);

    const std::set<QString> tickedGone = {QStringLiteral("/v/m1.mp4")};
    plan = PlanQueueRestore(journal, [&](const QString& path) { return tickedGone.count(path) == 0; });
    EXPECT_EQ(plan.lists.page(PageKind::Merge).mergeJob.state, JournalState::Failed);
    EXPECT_EQ(plan.lists.page(PageKind::Merge).mergeJob.reason, missing);
}

TEST(QueueRestorePlanTest, StaleFilesAreDeletedWhereTheyAre)
{
    QTemporaryDir dir;
    const QString half = dir.filePath(QStringLiteral("half.mp4"));
    const QString log = dir.filePath(QStringLiteral("pass-0.log"));
    for (const QString& path : {half, log}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    EXPECT_EQ(RemoveStaleFiles({half, log, dir.filePath(QStringLiteral("never-made.mp4"))}), 2);
    EXPECT_FALSE(QFile::exists(half));
    EXPECT_FALSE(QFile::exists(log));
}

}  // namespace
}  // namespace tolvex::test
