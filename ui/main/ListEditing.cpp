#include "ui/main/ListEditing.h"

#include "app/Helpers.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/PageTasks.h"

#include <QAbstractButton>
#include <QProgressBar>

#include <cmath>

namespace tolvex {

namespace {

struct PageButton {
    const char* name;
    PageKind page;
};

constexpr PageButton kClearButtons[] = {
    {"clear-convert-list-btn", PageKind::Convert}, {"clear-split-list-btn", PageKind::Split},
    {"clear-merge-list-btn", PageKind::Merge},     {"clear-compress-list-btn", PageKind::Compress},
    {"clear-rotate-list-btn", PageKind::Rotate},   {"clear-gif-list-btn", PageKind::Gif},
    {"clear-extract-list-btn", PageKind::Extract}, {"clear-mute-list-btn", PageKind::Mute},
    {"clear-music-list-btn", PageKind::Music},
};

constexpr PageButton kRemoveButtons[] = {
    {"video-remove-btn", PageKind::Convert},         {"video-split-remove-btn", PageKind::Split},
    {"video-merge-remove-btn", PageKind::Merge},     {"video-compress-remove-btn", PageKind::Compress},
    {"video-rotate-remove-btn", PageKind::Rotate},   {"video-gif-remove-btn", PageKind::Gif},
    {"video-extract-remove-btn", PageKind::Extract}, {"video-mute-remove-btn", PageKind::Mute},
    {"video-music-remove-btn", PageKind::Music},
};

QString ItemName(TaskId taskId)
{
    return QStringLiteral("item-%1").arg(taskId);
}

QString DurationText(double seconds)
{
    const double whole = std::isfinite(seconds) && seconds > 0 ? std::trunc(seconds) : 0.0;
    return QString::fromStdString(FormatClock(static_cast<int32_t>(whole)));
}

}  // namespace

std::vector<TaskId> ListTaskIds(const CListUI* list)
{
    std::vector<TaskId> ids;
    if (!list)
        return ids;
    for (int i = 0; i < list->count(); ++i)
        ids.push_back(static_cast<TaskId>(ControlTag(list->itemAt(i))));
    return ids;
}

ListEditing::ListEditing(PageTasks& tasks) : m_tasks(tasks) {}

void ListEditing::attach(CMainWnd& window)
{
    m_window = &window;
    const QString click = QStringLiteral("click");
    for (const PageButton& button : kClearButtons)
        window.routeNotify(click, QString::fromLatin1(button.name), this);
    for (const PageButton& button : kRemoveButtons)
        window.routeNotify(click, QString::fromLatin1(button.name), this);
    for (const char* name : {"move-up-btn", "move-down-btn", "merge-check-box-all"})
        window.routeNotify(click, QString::fromLatin1(name), this);
}

void ListEditing::onNotify(TNotifyUI& msg)
{
    const QString name = msg.senderName();
    for (const PageButton& button : kClearButtons) {
        if (name == QLatin1String(button.name)) {
            ClearPage(button.page);
            return;
        }
    }
    const auto taskId = static_cast<TaskId>(ControlTag(msg.sender));
    for (const PageButton& button : kRemoveButtons) {
        if (name == QLatin1String(button.name)) {
            removeItem(button.page, taskId);
            return;
        }
    }
    if (name == QLatin1String("move-up-btn")) {
        moveMergeItem(taskId, -1);
    } else if (name == QLatin1String("move-down-btn")) {
        moveMergeItem(taskId, +1);
    } else if (name == QLatin1String("merge-check-box-all")) {
        // The box already shows its new state: the items follow it.
        if (auto* box = qobject_cast<QAbstractButton*>(msg.sender.data()))
            checkAllMergeItems(box->isChecked());
    }
}

void ListEditing::forgetTask(TaskId taskId)
{
    m_window->mediaItems().erase(taskId);
    m_tasks.outputParams().erase(taskId);
}

void ListEditing::ClearPage(PageKind page)
{
    if (CListUI* list = m_window->pageList(page)) {
        for (const TaskId id : ListTaskIds(list))
            forgetTask(id);
        list->removeAll();
    }
    // Also frees the start button (busy text off, mouse input on).
    m_tasks.engine().ClearPage(page);
    if (m_clearHook)
        m_clearHook(page);
    if (page != PageKind::Merge)
        return;
    if (auto* bar = m_window->findControlAs<QProgressBar>(QStringLiteral("video-merge-progress")))
        bar->setValue(0);
    SetControlText(m_window->FindControl(QStringLiteral("video-merge-progress-label")), QStringLiteral("0%"));
    if (auto* all = m_window->findControlAs<QAbstractButton>(QStringLiteral("merge-check-box-all")))
        all->setChecked(false);
}

void ListEditing::removeItem(PageKind page, TaskId taskId)
{
    // The job goes first, so that no message of it finds the item half gone.
    if (page != PageKind::Merge)
        m_tasks.engine().RemoveTask(page, taskId);
    if (CListUI* list = m_window->pageList(page)) {
        if (QWidget* item = list->findItem(ItemName(taskId)))
            list->removeItem(item);
    }
    forgetTask(taskId);
}

void ListEditing::showMergeRow(QWidget* item, TaskId taskId)
{
    const MediaItem record = m_window->mediaItems().get(taskId);
    QWidget* name = FindSubControl(item, QStringLiteral("video-filename"));
    SetControlText(name, record.fileName);
    // The tool tip names the file the row now shows.
    if (name)
        name->setToolTip(record.fullPath);
    SetControlText(FindSubControl(item, QStringLiteral("video-filesize")), FormatFileSize(record.fileSize));
    // The duration probed when the file was added moves with it; probing again here would
    // keep the window waiting on the file.
    SetControlText(FindSubControl(item, QStringLiteral("video-duration")), DurationText(record.duration));
}

bool ListEditing::moveMergeItem(TaskId taskId, int direction)
{
    CListUI* list = m_window->pageList(PageKind::Merge);
    if (!list)
        return false;
    QWidget* item = list->findItem(ItemName(taskId));
    const int index = list->indexOf(item);
    const int neighbourIndex = index + direction;
    if (!item || index < 0 || neighbourIndex < 0 || neighbourIndex >= list->count())
        return false;
    QWidget* neighbour = list->itemAt(neighbourIndex);
    const auto neighbourId = static_cast<TaskId>(ControlTag(neighbour));

    MediaItemTable& items = m_window->mediaItems();
    const auto mine = items.find(taskId);
    const auto theirs = items.find(neighbourId);
    if (!mine || !theirs)
        return false;
    // The rows keep their ids and check marks; the files change places.
    items.set(taskId, *theirs);
    items.set(neighbourId, *mine);
    showMergeRow(item, taskId);
    showMergeRow(neighbour, neighbourId);
    return true;
}

void ListEditing::checkAllMergeItems(bool checked)
{
    CListUI* list = m_window->pageList(PageKind::Merge);
    if (!list)
        return;
    for (int i = 0; i < list->count(); ++i) {
        if (auto* box = FindSubControlAs<QAbstractButton>(list->itemAt(i), QStringLiteral("merge-check-box-item")))
            box->setChecked(checked);
    }
}

}  // namespace tolvex
