#include "ui/main/PageStartHandler.h"

#include "ui/common/MessageBoxes.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/ListEditing.h"
#include "ui/main/PageTasks.h"
#include "ui/main/StartButtonText.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QProgressBar>

namespace tolvex {

PageStartHandler::PageStartHandler(PageTasks& tasks) : m_tasks(tasks) {}

void PageStartHandler::attach(CMainWnd& window)
{
    m_window = &window;
    for (int i = 0; i < kPageCount; ++i) {
        const auto page = static_cast<PageKind>(i);
        window.routeNotify(QStringLiteral("click"), QString::fromUtf8(StartButtonTextsFor(page).buttonName), this);
    }
}

void PageStartHandler::onNotify(TNotifyUI& msg)
{
    for (int i = 0; i < kPageCount; ++i) {
        const auto page = static_cast<PageKind>(i);
        if (msg.senderName() == QLatin1String(StartButtonTextsFor(page).buttonName)) {
            StartPage(page);
            return;
        }
    }
}

bool PageStartHandler::StartPage(PageKind page)
{
    if (page == PageKind::Merge)
        return startMerge();
    const std::vector<TaskId> ids = ListTaskIds(m_window->pageList(page));
    if (ids.empty()) {
        ShowPromptBox(m_window, QCoreApplication::translate("PageStartHandler", "请先添加文件!"));
        return false;
    }
    if (page == PageKind::Music &&
        ControlText(m_window->FindControl(QStringLiteral("bg-music-edit"))).trimmed().isEmpty()) {
        ShowPromptBox(m_window, QCoreApplication::translate("PageStartHandler", "请先选择背景音乐文件!"));
        return false;
    }
    return m_tasks.engine().StartPage(page, ids);
}

std::vector<TaskId> PageStartHandler::selectedMergeItems() const
{
    std::vector<TaskId> selected;
    const CListUI* list = m_window->pageList(PageKind::Merge);
    if (!list)
        return selected;
    for (int i = 0; i < list->count(); ++i) {
        const auto* box = FindSubControlAs<QAbstractButton>(list->itemAt(i), QStringLiteral("merge-check-box-item"));
        if (box && box->isChecked())
            selected.push_back(static_cast<TaskId>(ControlTag(list->itemAt(i))));
    }
    return selected;
}

bool PageStartHandler::startMerge()
{
    // A merge already under way is left alone (its button ignores the mouse meanwhile).
    if (m_tasks.engine().isPageBusy(PageKind::Merge))
        return false;
    const std::vector<TaskId> selected = selectedMergeItems();
    if (selected.empty()) {
        ShowPromptBox(m_window, QCoreApplication::translate("PageStartHandler", "请选择要合并视频文件!"));
        return false;
    }
    if (selected.size() == 1) {
        ShowPromptBox(m_window, QCoreApplication::translate("PageStartHandler", "至少需要选择2个视频文件!"));
        return false;
    }
    MergeSettings settings;
    settings.format = ControlText(m_window->FindControl(QStringLiteral("video-merge-format")));
    settings.ratioText = ControlText(m_window->FindControl(QStringLiteral("video-merge-ratio")));
    const MergeJob job = m_tasks.factory().planMerge(selected, settings);

    m_tasks.setMergeTotalDuration(job.totalDuration);
    m_tasks.setMergeSources(job.sources);
    if (auto* bar = m_window->findControlAs<QProgressBar>(QStringLiteral("video-merge-progress")))
        bar->setValue(0);
    QWidget* label = m_window->FindControl(QStringLiteral("video-merge-progress-label"));
    SetControlText(label, QStringLiteral("0%"));
    if (label)
        label->setToolTip(QString());  // an earlier failure's explanation no longer applies
    m_tasks.engine().startMerge(job.command, job.dropped);
    return true;
}

}  // namespace tolvex
