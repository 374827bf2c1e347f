// The one reading of the task messages that the window and the companion both show:
// percentages (the merge's against its total), time left per job, time taken, and
// messages that carry nothing to show.

#include "tasks/TaskMessageDecoder.h"

#include <gtest/gtest.h>

#include <memory>

namespace tolvex {
namespace {

std::unique_ptr<ProgressRecord> Progress(PageKind page, TaskId id, int64_t elapsedMs, int32_t positionMs,
                                         int32_t durationMs)
{
    auto record = std::make_unique<ProgressRecord>();
    record->taskId = id;
    record->pageKind = static_cast<int32_t>(page);
    record->elapsedMs = elapsedMs;
    record->positionMs = positionMs;
    record->durationMs = durationMs;
    return record;
}

std::optional<TaskUpdate> Decode(TaskMessageDecoder& decoder, int number, std::unique_ptr<MessageRecord> record)
{
    const MessageEvent event(number, std::move(record), 0, 0);
    return decoder.decode(event);
}

TEST(TaskMessageDecoder, EachJobHasItsOwnTimeLeftAndForgetsItWhenItEnds)
{
    TaskMessageDecoder decoder;
    // Two jobs of the convert page and one of the rotate page with the same id, at 1x, 2x
    // and 4x on a 20 s input.
    std::optional<TaskUpdate> a, b, c;
    for (int64_t t = 0; t <= 2000; t += 500) {
        a = Decode(decoder, WM_TASK_PROGRESS, Progress(PageKind::Convert, 1, t, static_cast<int32_t>(t), 20000));
        b = Decode(decoder, WM_TASK_PROGRESS, Progress(PageKind::Convert, 2, t, static_cast<int32_t>(2 * t), 20000));
        c = Decode(decoder, WM_TASK_PROGRESS, Progress(PageKind::Rotate, 1, t, static_cast<int32_t>(4 * t), 20000));
    }
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->kind, TaskUpdate::Kind::Progress);
    EXPECT_EQ(a->page, PageKind::Convert);
    EXPECT_EQ(a->taskId, 1);
    EXPECT_EQ(a->percent, 10);
    EXPECT_EQ(b->percent, 20);
    EXPECT_EQ(c->percent, 40);
    EXPECT_EQ(c->elapsedMs, 2000);
    EXPECT_EQ(a->timeLeftMs, 18000);
    EXPECT_EQ(b->timeLeftMs, 8000);
    EXPECT_EQ(c->timeLeftMs, 3000);
    EXPECT_EQ(decoder.trackedJobs(), 3u);

    // Done: 100 % and the time the job took; failed: its reason. Both end the estimate.
    auto done = std::make_unique<CompletionRecord>();
    done->taskId = 1;
    done->pageKind = static_cast<int32_t>(PageKind::Convert);
    done->progress = Progress(PageKind::Convert, 1, 12345, 20000, 20000);
    const std::optional<TaskUpdate> finished = Decode(decoder, WM_TASK_DONE, std::move(done));
    ASSERT_TRUE(finished);
    EXPECT_EQ(finished->kind, TaskUpdate::Kind::Done);
    EXPECT_EQ(finished->percent, 100);
    EXPECT_EQ(finished->elapsedMs, 12345);
    auto failed = std::make_unique<FailureRecord>();
    failed->taskId = 2;
    failed->pageKind = static_cast<int32_t>(PageKind::Convert);
    failed->reason = "ffmpeg exited with status 1: in.mp4: No such file or directory";
    const std::optional<TaskUpdate> failure = Decode(decoder, WM_TASK_FAILED, std::move(failed));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind, TaskUpdate::Kind::Failed);
    EXPECT_EQ(failure->reason, "ffmpeg exited with status 1: in.mp4: No such file or directory");
    EXPECT_EQ(decoder.trackedJobs(), 1u);

    // The rotate job is started again (a retry): it warms up anew.
    auto started = std::make_unique<TaskStartRecord>();
    started->taskId = 1;
    started->pageKind = static_cast<int32_t>(PageKind::Rotate);
    EXPECT_EQ(Decode(decoder, WM_TASK_STARTED, std::move(started))->kind, TaskUpdate::Kind::Started);
    EXPECT_EQ(decoder.trackedJobs(), 0u);
    EXPECT_FALSE(Decode(decoder, WM_TASK_PROGRESS, Progress(PageKind::Rotate, 1, 2500, 10000, 20000))->timeLeftMs);
}

TEST(TaskMessageDecoder, TheMergeIsMeasuredAgainstItsTotalDuration)
{
    TaskMessageDecoder decoder;
    decoder.setMergeTotalSeconds(40.0);
    std::optional<TaskUpdate> update;
    // ffmpeg reports the first input's 10 s as the duration; the merge is 40 s long.
    for (int64_t t = 0; t <= 2000; t += 500)
        update = Decode(decoder, WM_TASK_PROGRESS,
                        Progress(PageKind::Merge, kMergeTaskId, t, static_cast<int32_t>(2 * t), 10000));
    ASSERT_TRUE(update);
    EXPECT_EQ(update->percent, 10);
    EXPECT_EQ(update->timeLeftMs, 18000);

    // Without a total there is neither a percentage nor an estimate.
    TaskMessageDecoder unknown;
    for (int64_t t = 0; t <= 2000; t += 500)
        update = Decode(unknown, WM_TASK_PROGRESS,
                        Progress(PageKind::Merge, kMergeTaskId, t, static_cast<int32_t>(2 * t), 10000));
    EXPECT_EQ(update->percent, 0);
    EXPECT_FALSE(update->timeLeftMs);
}

TEST(TaskMessageDecoder, NothingForOtherMessagesWrongRecordsOrUnknownPages)
{
    TaskMessageDecoder decoder;
    EXPECT_FALSE(Decode(decoder, WM_OUTPUT_PARAMS, nullptr));
    EXPECT_FALSE(Decode(decoder, WM_TASK_PROGRESS, nullptr));
    EXPECT_FALSE(Decode(decoder, WM_TASK_DONE, std::make_unique<FailureRecord>()));
    EXPECT_FALSE(Decode(decoder, WM_TASK_PROGRESS, Progress(static_cast<PageKind>(kPageCount), 1, 0, 0, 1000)));
    EXPECT_FALSE(Decode(decoder, WM_TASK_PROGRESS, Progress(static_cast<PageKind>(-1), 1, 0, 0, 1000)));
    EXPECT_EQ(decoder.trackedJobs(), 0u);

    auto output = std::make_unique<OutputNameRecord>();
    output->taskId = 4;
    output->pageKind = static_cast<int32_t>(PageKind::Extract);
    output->outputPath = "/out/a-101500-1.mp3";
    const std::optional<TaskUpdate> named = Decode(decoder, WM_TASK_OUTPUT, std::move(output));
    ASSERT_TRUE(named);
    EXPECT_EQ(named->kind, TaskUpdate::Kind::Output);
    EXPECT_EQ(named->page, PageKind::Extract);
    EXPECT_EQ(named->outputPath, "/out/a-101500-1.mp3");
}

}  // namespace
}  // namespace tolvex
