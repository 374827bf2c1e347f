#include "ui/main/QueueJournalRestore.h"

#include "app/Folders.h"

#include "app/Helpers.h"
#include "ui/framework/CListUI.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/JournalControls.h"
#include "ui/main/ListItemBuilder.h"
#include "ui/main/PageItemControls.h"
#include "ui/main/PageTasks.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tolvex {

namespace {

void Deliver(CMainWnd& window, int number, std::unique_ptr<MessageRecord> record)
{
    MessageEvent event(number, std::move(record), 0, 0);
    QCoreApplication::sendEvent(&window, &event);
}

// The page shows the job's end as it did when the job ended.
void ShowJobEnd(CMainWnd& window, PageKind page, TaskId id, const JournalJob& job)
{
    const auto kind = static_cast<int32_t>(page);
    if (job.state == JournalState::Done) {
        if (!job.output.isEmpty()) {
            auto output = std::make_unique<OutputNameRecord>();
            output->taskId = id;
            output->pageKind = kind;
            output->outputPath = ToNarrowAnsi(job.output);
            Deliver(window, WM_TASK_OUTPUT, std::move(output));
        }
        auto done = std::make_unique<CompletionRecord>();
        done->taskId = id;
        done->pageKind = kind;
        done->progress = std::make_unique<ProgressRecord>();
        done->progress->taskId = id;
        done->progress->pageKind = kind;
        done->progress->elapsedMs = job.tookMs;
        Deliver(window, WM_TASK_DONE, std::move(done));
    } else if (job.state == JournalState::Failed) {
        auto failed = std::make_unique<FailureRecord>();
        failed->taskId = id;
        failed->pageKind = kind;
        failed->reason = ToNarrowAnsi(job.reason);
        Deliver(window, WM_TASK_FAILED, std::move(failed));
    }
}

// Lists a split or GIF clip as its item and records it in its page's clip table.
template <class Clip, class Table>
QWidget* ListClipOf(CMainWnd& window, CListUI& list, PageKind page, TaskId id, Clip clip, Table& table)
{
    clip.itemId = id;
    QWidget* item =
        ListItemBuilder::buildClipItem(window, page, id, ToWideAnsi(clip.outputName), ToWideAnsi(ClipShownStart(clip)),
                                       ToWideAnsi(clip.endText), list.itemParent());
    if (item) {
        list.addItem(item);
        table.add(clip);
    }
    return item;
}

QWidget* ListClip(CMainWnd& window, CListUI& list, PageKind page, TaskId id, const JournalItem& record)
{
    PageTasks& tasks = window.tasks();
    if (record.split)
        return ListClipOf(window, list, page, id, *record.split, tasks.splitClips());
    if (record.gif)
        return ListClipOf(window, list, page, id, *record.gif, tasks.gifClips());
    return nullptr;
}

QWidget* ListMedia(CMainWnd& window, CListUI& list, PageKind page, TaskId id, const JournalItem& record)
{
    // A thumbnail left by the last run is shown again (a killed run's was moved into this
    // run's temp folder); one that is gone leaves the picture empty.
    const QString thumbnail = AdoptedThumbnailPath(record.thumbnail);
    const MediaItemContent content{record.media, thumbnail, QTime::currentTime()};
    const ConvertLayout layout = record.fileRow ? ConvertLayout::FileRow : ConvertLayout::Standard;
    QWidget* item = ListItemBuilder::buildMediaItem(window, page, id, content, layout, list.itemParent());
    if (!item)
        return nullptr;
    list.addItem(item);
    window.mediaItems().set(id, record.media);
    // Set as the user set them: a new format refills the sizes, a strength its estimate.
    ApplyJournalControls(item, JournalItemControlNames(page), record.controls);
    if (page == PageKind::Convert) {
        if (!record.outputName.isEmpty())
            SetPlannedOutputName(item, record.outputName);
        if (record.params) {
            OutputParams params = *record.params;
            params.taskId = id;
            window.tasks().outputParams().store(params);
        }
    }
    return item;
}

}  // namespace

int RestoredWork::count() const
{
    int total = mergeWaiting ? 1 : 0;
    for (const auto& ids : waiting)
        total += static_cast<int>(ids.size());
    return total;
}

RestoredWork RestoreQueueLists(CMainWnd& window, const QueueJournal& lists)
{
    RestoredWork work;
    for (int i = 0; i < kPageCount; ++i) {
        const auto page = static_cast<PageKind>(i);
        const JournalPage& journalPage = lists.page(page);
        ApplyJournalControls(&window, JournalPageControlNames(page), journalPage.controls);
        CListUI* list = window.pageList(page);
        if (!list)
            continue;
        for (const JournalItem& record : journalPage.items) {
            const TaskId id = window.newTaskId();
            QWidget* item = page == PageKind::Split || page == PageKind::Gif
                                ? ListClip(window, *list, page, id, record)
                                : ListMedia(window, *list, page, id, record);
            if (!item)
                continue;
            ++work.listed;
            // The merge page's rows have no job of their own.
            if (page == PageKind::Merge)
                continue;
            if (record.job.state == JournalState::Waiting)
                work.waiting[static_cast<size_t>(i)].push_back(id);
            else
                ShowJobEnd(window, page, id, record.job);
        }
    }
    const JournalJob& merge = lists.page(PageKind::Merge).mergeJob;
    if (merge.state == JournalState::Waiting)
        work.mergeWaiting = true;
    else
        ShowJobEnd(window, PageKind::Merge, kMergeTaskId, merge);
    return work;
}

}  // namespace tolvex
