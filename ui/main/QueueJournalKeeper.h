#pragma once

// The journal of the running program's page lists (TolvexVideoConverter/Data/queue.json).
//
// At start it reads what the last run left. After an unclean end (a crash, a kill, a power
// cut) with items in it, the half-written files of the jobs that were running go, the
// lists come back (QueueJournalRestore) and, when work was left waiting, the user is asked
// from the event loop whether it goes on: "继续" queues it, "放弃" removes it. A journal
// that cannot be read, or one of a newer version, is moved aside with a line in the log.
//
// While the window runs, every change of a list is noted: items added, removed or moved
// (the lists say so), a control of an item or a page changed (the window's notifications),
// a job started, named its output, ended (the task messages). The journal is then saved on
// the writer's thread: soon after a job's change, and at most once a second while other
// changes keep coming (adding a thousand files writes it a few dozen times, not a thousand).
// Only the items that changed are read from their controls again.
//
// The window's normal end (its close button, the tray's quit, an ended session) runs the
// clean close among its shutdown steps, after the jobs were stopped: the journal is
// emptied and marked closed cleanly, and the next start asks nothing.
//
// Only the one running program keeps a journal (StartQueueJournal is called by it, never
// by tolvex-cli).
// UI thread only; the writer's thread only writes the copies it is given.

#include "tasks/QueueJournal.h"
#include "tasks/QueueJournalFile.h"
#include "ui/main/MainWndHandler.h"
#include "ui/main/QueueJournalRestore.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace tolvex {

class CListUI;
class QueueJournalWriter;

class QueueJournalKeeper : public QObject, public MainWndHandler {
public:
    explicit QueueJournalKeeper(QString path);
    ~QueueJournalKeeper() override;

    void attach(CMainWnd& window) override;

    // Reads the last run's journal and restores what an unclean end left, then keeps the
    // journal from the window's state. The question, when there is one, comes from the
    // event loop.
    void start();
    // The window ends normally: the journal is emptied and marked closed cleanly; nothing
    // is written after it.
    void closeCleanly();

    // What the start put back: items listed, and how many came back waiting (the question's N).
    int restoredItems() const { return m_restoredItems; }
    int unfinishedAtStart() const { return m_unfinishedAtStart; }

    // The answers to the question: the waiting work goes on, or is removed for good.
    void continueWork();
    void discardWork();

    // The journal as the window stands now.
    QueueJournal currentJournal();
    // Saves the window's state now and returns once it is on the disk.
    void saveNow();
    // Journal writes so far (including the clean close).
    int writeCount() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Dirty {
        PageKind page = PageKind::Convert;
        QPointer<QWidget> item;  // null: found by its name when read
    };
    struct PageControl {
        QString name;
        QPointer<QWidget> control;
    };

    void noteNotification(const TNotifyUI& msg);
    void noteTaskMessage(const MessageEvent& message);
    void schedule(bool soon);
    void save();
    void ask();
    // Brings the kept items up to date with the lists and the controls that changed.
    void refresh();
    void reconcile(PageKind page);
    JournalItem readItem(PageKind page, TaskId id, QWidget* item) const;
    JournalJob jobOf(TaskId id, const std::set<TaskId>& queued) const;
    JournalJob& trackedJob(PageKind page, TaskId id);

    QString m_path;
    CMainWnd* m_window = nullptr;
    std::unique_ptr<QueueJournalWriter> m_writer;
    QTimer m_timer;
    QElapsedTimer m_unsavedSince;  // the first change the timer waits to save
    bool m_soonPending = false;    // the timer runs for a job's change
    bool m_started = false;
    bool m_closed = false;
    int m_cleanWrites = 0;

    std::array<CListUI*, kPageCount> m_lists{};
    std::array<std::vector<PageControl>, kPageCount> m_pageControls;
    std::array<std::vector<TaskId>, kPageCount> m_order;
    std::array<bool, kPageCount> m_listChanged{};
    std::map<TaskId, JournalItem> m_items;  // each listed item's settings (its job is kept apart)
    std::map<TaskId, Dirty> m_dirty;
    bool m_mergeRowsChanged = false;
    std::map<TaskId, JournalJob> m_jobs;
    JournalJob m_mergeJob;

    RestoredWork m_restored;
    int m_restoredItems = 0;
    int m_unfinishedAtStart = 0;
};

// Adds the journal keeper to the window and starts it (the program's one window).
QueueJournalKeeper* StartQueueJournal(CMainWnd& window, const QString& path = QueueJournalPath());

}  // namespace tolvex
