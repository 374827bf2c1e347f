#include "ui/main/QueueJournalKeeper.h"

#include "app/Helpers.h"
#include "tasks/QueueJournalJson.h"
#include "tasks/QueueJournalWriter.h"
#include "tasks/QueueRestorePlan.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/framework/ShownPixmapLoader.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/JournalControls.h"
#include "ui/main/ListEditing.h"
#include "ui/main/PageItemControls.h"
#include "ui/main/PageStartHandler.h"
#include "ui/main/PageTasks.h"
#include "ui/main/ParamSettingDialog.h"
#include "ui/main/ResumeQuestionBox.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include <glog/logging.h>

#include <algorithm>

namespace tolvex {

namespace {

// A job's change is saved this soon: the name of a file being written must be on the disk
// before much of the file is.
constexpr int kSoonMs = 20;
// Other changes are saved once the lists have been quiet this long (each change waits for
// the quiet again), but never later than kLongestWaitMs after the first unsaved one: a
// thousand files being added are saved a few times, not once a second (each save reads
// the whole list).
constexpr int kQuietMs = 1000;
constexpr int kLongestWaitMs = 5000;

// The task id in an item's name "item-%d".
std::optional<TaskId> ItemId(const QWidget* item)
{
    const QString name = item->objectName();
    if (!name.startsWith(QLatin1String("item-")))
        return std::nullopt;
    bool ok = false;
    const int id = name.mid(5).toInt(&ok);
    return ok ? std::optional<TaskId>(id) : std::nullopt;
}

bool IsQueuedPage(PageKind page)
{
    return page != PageKind::Merge;
}

}  // namespace

QueueJournalKeeper::QueueJournalKeeper(QString path) : m_path(std::move(path))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { save(); });
}

QueueJournalKeeper::~QueueJournalKeeper()
{
    // Gone without a clean close (the window was not closed): the journal stays as last saved.
    if (m_writer)
        m_writer->stop();
}

void QueueJournalKeeper::attach(CMainWnd& window)
{
    m_window = &window;
    for (int i = 0; i < kPageCount; ++i) {
        const auto page = static_cast<PageKind>(i);
        m_lists[i] = window.pageList(page);
        if (m_lists[i]) {
            connect(m_lists[i], &CListUI::itemsChanged, this, [this, i] {
                m_listChanged[i] = true;
                schedule(false);
            });
        }
        for (const char* name : JournalPageControlNames(page)) {
            QWidget* control = window.FindControl(QString::fromLatin1(name));
            m_pageControls[i].push_back({QString::fromLatin1(name), control});
        }
    }
    // The music file is also set by its picker, which no notification tells.
    if (auto* music = window.findControlAs<QLineEdit>(QStringLiteral("bg-music-edit")))
        connect(music, &QLineEdit::textChanged, this, [this] { schedule(false); });
    window.addNotifyObserver([this](const TNotifyUI& msg) { noteNotification(msg); });
    window.installEventFilter(this);
    // After the jobs were stopped (their step was added before this one).
    window.addShutdownStep([this] { closeCleanly(); });
}

void QueueJournalKeeper::start()
{
    if (!m_window || m_started || m_closed)
        return;
    const JournalLoad load = LoadQueueJournal(m_path);
    if (load.outcome == JournalLoad::Outcome::SetAside) {
        LOG(WARNING) << "queue journal " << m_path.toStdString() << " not used (" << load.detail.toStdString()
                     << "), kept as " << (load.setAsidePath.isEmpty() ? "it was" : load.setAsidePath.toStdString())
                     << "; the lists start empty";
    } else if (load.outcome == JournalLoad::Outcome::Read && !load.journal.closedCleanly &&
               !load.journal.hasNoItems()) {
        const QueueRestorePlan plan =
            PlanQueueRestore(load.journal, [](const QString& path) { return QFileInfo::exists(path); });
        const int removed = RemoveStaleFiles(plan.staleFiles);
        m_restored = RestoreQueueLists(*m_window, plan.lists);
        for (size_t i = 0; i < m_restored.waiting.size(); ++i) {
            for (const TaskId id : m_restored.waiting[i])
                m_jobs[id].state = JournalState::Waiting;
        }
        if (m_restored.mergeWaiting)
            m_mergeJob.state = JournalState::Waiting;
        m_restoredItems = m_restored.listed;
        m_unfinishedAtStart = m_restored.count();
        LOG(INFO) << "queue journal: the last run ended uncleanly; " << m_restoredItems << " items restored, "
                  << m_unfinishedAtStart << " unfinished, " << removed << " partial files deleted";
    }
    m_writer = std::make_unique<QueueJournalWriter>(m_path);
    m_started = true;
    // From now on the journal says the program runs (and was not closed cleanly).
    save();
    if (m_unfinishedAtStart > 0)
        QTimer::singleShot(0, this, [this] { ask(); });
}

void QueueJournalKeeper::ask()
{
    if (m_closed || !m_window || m_window->isClosed())
        return;
    const ResumeQuestionBox::Answer answer = ResumeQuestionBox::ask(m_window, m_unfinishedAtStart);
    if (m_closed)
        return;
    if (answer == ResumeQuestionBox::Continue)
        continueWork();
    else if (answer == ResumeQuestionBox::Discard)
        discardWork();
}

void QueueJournalKeeper::continueWork()
{
    if (!m_window || m_closed)
        return;
    TaskEngine& engine = m_window->tasks().engine();
    for (int i = 0; i < kPageCount; ++i) {
        const auto page = static_cast<PageKind>(i);
        std::vector<TaskId> ids;
        for (const TaskId id : m_restored.waiting[i]) {
            const auto job = m_jobs.find(id);
            const bool pending = job != m_jobs.end() && job->second.state == JournalState::Waiting;
            if (pending && m_lists[i] && m_lists[i]->findItem(QStringLiteral("item-%1").arg(id)))
                ids.push_back(id);
        }
        if (IsQueuedPage(page) && !ids.empty())
            engine.StartPage(page, ids);
    }
    if (m_restored.mergeWaiting && m_mergeJob.state == JournalState::Waiting) {
        auto* start = m_window->handler<PageStartHandler>();
        // Not started (a prompt said why): nothing waits for it any more.
        if (!start || !start->StartPage(PageKind::Merge))
            m_mergeJob = JournalJob{};
    }
    m_restored = RestoredWork{};
    schedule(true);
}

void QueueJournalKeeper::discardWork()
{
    if (!m_window || m_closed)
        return;
    auto* editing = m_window->handler<ListEditing>();
    for (int i = 0; i < kPageCount; ++i) {
        for (const TaskId id : m_restored.waiting[i]) {
            if (editing)
                editing->removeItem(static_cast<PageKind>(i), id);
        }
    }
    if (m_restored.mergeWaiting && m_mergeJob.state == JournalState::Waiting)
        m_mergeJob = JournalJob{};
    m_restored = RestoredWork{};
    schedule(true);
}

void QueueJournalKeeper::closeCleanly()
{
    if (m_closed)
        return;
    m_closed = true;
    m_timer.stop();
    // A journal that was never taken over is left as it is.
    if (!m_writer)
        return;
    m_writer->stop();
    QueueJournal clean;
    clean.closedCleanly = true;
    QString error;
    if (WriteQueueJournalFile(m_path, QueueJournalToJson(clean), &error))
        ++m_cleanWrites;
    else
        LOG(ERROR) << "queue journal " << m_path.toStdString() << " not emptied at exit: " << error.toStdString();
}

int QueueJournalKeeper::writeCount() const
{
    return (m_writer ? m_writer->writeCount() : 0) + m_cleanWrites;
}

bool QueueJournalKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() >= QEvent::User) {
        if (const auto* message = dynamic_cast<const MessageEvent*>(event))
            noteTaskMessage(*message);
    }
    return QObject::eventFilter(watched, event);
}

void QueueJournalKeeper::noteNotification(const TNotifyUI& msg)
{
    if (m_closed || !msg.sender)
        return;
    // The list item that holds the control, if any: only that item is read again.
    for (QWidget* widget = msg.sender.data(); widget; widget = widget->parentWidget()) {
        const QWidget* parent = widget->parentWidget();
        for (int i = 0; parent && i < kPageCount; ++i) {
            if (!m_lists[i] || parent != m_lists[i]->itemParent())
                continue;
            if (static_cast<PageKind>(i) == PageKind::Merge) {
                // Moving a row exchanges the files of two rows.
                m_mergeRowsChanged = true;
            } else if (const auto id = ItemId(widget)) {
                m_dirty[*id] = Dirty{static_cast<PageKind>(i), widget};
            }
            schedule(false);
            return;
        }
    }
    schedule(false);
}

JournalJob& QueueJournalKeeper::trackedJob(PageKind page, TaskId id)
{
    return page == PageKind::Merge ? m_mergeJob : m_jobs[id];
}

void QueueJournalKeeper::noteTaskMessage(const MessageEvent& message)
{
    if (m_closed)
        return;
    switch (message.number()) {
    case WM_TASK_STARTED:
        if (const auto* record = message.recordAs<TaskStartRecord>()) {
            JournalJob& job = trackedJob(static_cast<PageKind>(record->pageKind), record->taskId);
            job = JournalJob{};
            job.state = JournalState::Running;
            schedule(true);
        }
        return;
    case WM_TASK_OUTPUT:
        if (const auto* record = message.recordAs<OutputNameRecord>()) {
            JournalJob& job = trackedJob(static_cast<PageKind>(record->pageKind), record->taskId);
            job = JournalJob{};
            job.state = JournalState::Running;
            job.output = ToWideAnsi(record->outputPath);
            for (const std::string& file : record->scratchFiles)
                job.scratch.push_back(ToWideAnsi(file));
            schedule(true);
        }
        return;
    case WM_TASK_DONE:
        if (const auto* record = message.recordAs<CompletionRecord>()) {
            JournalJob& job = trackedJob(static_cast<PageKind>(record->pageKind), record->taskId);
            job.state = JournalState::Done;
            job.scratch.clear();
            job.reason.clear();
            job.tookMs = record->progress ? record->progress->elapsedMs : 0;
            schedule(true);
        }
        return;
    case WM_TASK_FAILED:
        if (const auto* record = message.recordAs<FailureRecord>()) {
            JournalJob& job = trackedJob(static_cast<PageKind>(record->pageKind), record->taskId);
            job = JournalJob{};
            job.state = JournalState::Failed;
            job.reason = ToWideAnsi(record->reason);
            schedule(true);
        }
        return;
    case WM_OUTPUT_PARAMS:
        if (const auto* record = message.recordAs<OutputParamsRecord>()) {
            m_dirty[record->params.taskId] = Dirty{PageKind::Convert, nullptr};
            schedule(false);
        }
        return;
    default:
        return;
    }
}

void QueueJournalKeeper::schedule(bool soon)
{
    if (!m_started || m_closed)
        return;
    if (!m_timer.isActive()) {
        m_unsavedSince.start();
        m_soonPending = false;
    }
    if (soon) {
        m_soonPending = true;
        if (!m_timer.isActive() || m_timer.remainingTime() > kSoonMs)
            m_timer.start(kSoonMs);
        return;
    }
    // A save due soon takes this change along.
    if (m_soonPending)
        return;
    const qint64 left = kLongestWaitMs - m_unsavedSince.elapsed();
    m_timer.start(static_cast<int>(std::clamp<qint64>(left, 0, kQuietMs)));
}

void QueueJournalKeeper::save()
{
    if (!m_started || m_closed || !m_window)
        return;
    m_writer->submit(currentJournal());
}

void QueueJournalKeeper::saveNow()
{
    m_timer.stop();
    save();
    if (m_writer)
        m_writer->flush();
}

JournalItem QueueJournalKeeper::readItem(PageKind page, TaskId id, QWidget* item) const
{
    JournalItem record;
    PageTasks& tasks = m_window->tasks();
    if (page == PageKind::Split)
        record.split = tasks.splitClips().find(id);
    else if (page == PageKind::Gif)
        record.gif = tasks.gifClips().find(id);
    else
        record.media = m_window->mediaItems().get(id);
    record.controls = ReadJournalControls(item, JournalItemControlNames(page));
    if (page == PageKind::Convert) {
        record.outputName = PlannedOutputName(item);
        if (const auto* label = FindSubControlAs<QLabel>(item, QStringLiteral("video-thumbnail"))) {
            if (const ShownPixmapLoader* loader = ShownPixmapLoader::of(label))
                record.thumbnail = loader->path();
        }
        record.fileRow = FindSubControl(item, QStringLiteral("fileNameLabel")) != nullptr;
        record.params = tasks.outputParams().find(id);
    }
    return record;
}

void QueueJournalKeeper::reconcile(PageKind page)
{
    const auto index = static_cast<size_t>(page);
    CListUI* list = m_lists[index];
    std::vector<TaskId> order;
    order.reserve(static_cast<size_t>(list->count()));
    for (int row = 0; row < list->count(); ++row) {
        QWidget* item = list->itemAt(row);
        const auto id = static_cast<TaskId>(ControlTag(item));
        order.push_back(id);
        // A new item is read while its widget is at hand.
        if (m_items.count(id) == 0) {
            m_items[id] = readItem(page, id, item);
            m_dirty.erase(id);
        }
    }
    const std::set<TaskId> kept(order.begin(), order.end());
    for (const TaskId id : m_order[index]) {
        if (kept.count(id) == 0) {
            m_items.erase(id);
            m_jobs.erase(id);
            m_dirty.erase(id);
        }
    }
    m_order[index] = std::move(order);
}

void QueueJournalKeeper::refresh()
{
    for (int i = 0; i < kPageCount; ++i) {
        if (m_listChanged[i] && m_lists[i]) {
            m_listChanged[i] = false;
            reconcile(static_cast<PageKind>(i));
        }
    }
    if (m_mergeRowsChanged) {
        m_mergeRowsChanged = false;
        if (CListUI* merge = m_lists[static_cast<size_t>(PageKind::Merge)]) {
            for (int row = 0; row < merge->count(); ++row) {
                QWidget* item = merge->itemAt(row);
                const auto id = static_cast<TaskId>(ControlTag(item));
                if (m_items.count(id) != 0)
                    m_items[id] = readItem(PageKind::Merge, id, item);
            }
        }
    }
    for (const auto& [id, dirty] : m_dirty) {
        if (m_items.count(id) == 0)
            continue;
        QWidget* item = dirty.item.data();
        CListUI* list = m_lists[static_cast<size_t>(dirty.page)];
        if (!item && list)
            item = list->findItem(QStringLiteral("item-%1").arg(id));
        if (item)
            m_items[id] = readItem(dirty.page, id, item);
    }
    m_dirty.clear();
}

JournalJob QueueJournalKeeper::jobOf(TaskId id, const std::set<TaskId>& queued) const
{
    const auto tracked = m_jobs.find(id);
    JournalJob job = tracked != m_jobs.end() ? tracked->second : JournalJob{};
    if (queued.count(id) != 0) {
        // The front of the queue that has started runs; the rest wait.
        if (job.state == JournalState::Running)
            return job;
        JournalJob waiting;
        waiting.state = JournalState::Waiting;
        return waiting;
    }
    // A job that was running and left the queue without an end was stopped.
    if (job.state == JournalState::Running)
        return JournalJob{};
    return job;
}

QueueJournal QueueJournalKeeper::currentJournal()
{
    QueueJournal journal;
    if (!m_window)
        return journal;
    refresh();
    const TaskEngine& engine = m_window->tasks().engine();
    for (int i = 0; i < kPageCount; ++i) {
        const auto page = static_cast<PageKind>(i);
        JournalPage& target = journal.page(page);
        for (const PageControl& control : m_pageControls[i]) {
            if (control.control)
                target.controls[control.name] = JournalControlValue(control.control);
        }
        const std::vector<TaskId> queuedIds = engine.queuedTasks(page);
        const std::set<TaskId> queued(queuedIds.begin(), queuedIds.end());
        target.items.reserve(m_order[i].size());
        for (const TaskId id : m_order[i]) {
            const auto item = m_items.find(id);
            if (item == m_items.end())
                continue;
            target.items.push_back(item->second);
            target.items.back().job = jobOf(id, queued);
        }
    }
    JournalJob merge = m_mergeJob;
    const bool mergeBusy = engine.isPageBusy(PageKind::Merge);
    if (mergeBusy && merge.state != JournalState::Running) {
        merge = JournalJob{};
        merge.state = JournalState::Running;
    } else if (!mergeBusy && merge.state == JournalState::Running) {
        merge = JournalJob{};
    }
    // A merge without rows is no merge to come back to.
    if (m_order[static_cast<size_t>(PageKind::Merge)].empty() && merge.state != JournalState::Running)
        merge = JournalJob{};
    journal.page(PageKind::Merge).mergeJob = merge;
    return journal;
}

QueueJournalKeeper* StartQueueJournal(CMainWnd& window, const QString& path)
{
    auto keeper = std::make_unique<QueueJournalKeeper>(path);
    QueueJournalKeeper* raw = keeper.get();
    window.addHandler(std::move(keeper));
    raw->start();
    return raw;
}

}  // namespace tolvex
