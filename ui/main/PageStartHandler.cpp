#include "ui/main/PageStartHandler.h"

#include "app/Settings.h"
#include "tasks/JoinCheck.h"
#include "ui/common/MessageBoxes.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/framework/UiLanguage.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/ListEditing.h"
#include "ui/main/PageTasks.h"
#include "ui/main/StartButtonText.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QProgressBar>

namespace tolvex {

namespace {

// The setting that remembers the merge page's "无损快速" box.
const QString kLosslessKey = QStringLiteral("merge-lossless");

}  // namespace

PageStartHandler::PageStartHandler(PageTasks& tasks) : m_tasks(tasks) {}

void PageStartHandler::attach(CMainWnd& window)
{
    m_window = &window;
    for (int i = 0; i < kPageCount; ++i) {
        const auto page = static_cast<PageKind>(i);
        window.routeNotify(QStringLiteral("click"), QString::fromUtf8(StartButtonTextsFor(page).buttonName), this);
    }
    attachLosslessBox();
    // A check under way ends before the engine and its factory go.
    window.addShutdownStep([this] { m_check.stop(); });
}

void PageStartHandler::attachLosslessBox()
{
    m_lossless = m_window->findControlAs<QCheckBox>(QStringLiteral("video-merge-lossless"));
    if (!m_lossless)
        return;
    QString value;
    ReadSetting(QStringLiteral("global"), kLosslessKey, QStringLiteral("0"), value, 0);
    QWidget* ratio = m_window->FindControl(QStringLiteral("video-merge-ratio"));
    // A copied join keeps the files' own frame: the frame size has no say.
    QObject::connect(m_lossless, &QCheckBox::toggled, m_lossless, [ratio](bool on) {
        if (ratio)
            ratio->setEnabled(!on);
    });
    QObject::connect(m_lossless, &QCheckBox::toggled, m_lossless, [](bool on) {
        WriteSetting(QStringLiteral("global"), kLosslessKey, on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    m_lossless->setChecked(value.trimmed() == QLatin1String("1"));
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
    if (m_tasks.engine().isPageBusy(PageKind::Merge) || m_check.running())
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
    if (m_lossless && m_lossless->isChecked()) {
        // The files are probed and compared first; the button shows the merge busy meanwhile.
        m_window->setPageBusy(PageKind::Merge, true);
        m_check.start(m_tasks.factory(), selected, settings,
                      [this](const PageJobFactory::LosslessMergePlan& plan) { finishLosslessCheck(plan); });
        return true;
    }
    launchMerge(m_tasks.factory().planMerge(selected, settings));
    return true;
}

void PageStartHandler::finishLosslessCheck(const PageJobFactory::LosslessMergePlan& plan)
{
    if (plan.job) {
        launchMerge(*plan.job);
        return;
    }
    m_window->setPageBusy(PageKind::Merge, false);
    if (!plan.differences.empty()) {
        const JoinTextLanguage language = UiLanguage::current() == UiLanguage::Language::English
                                              ? JoinTextLanguage::English
                                              : JoinTextLanguage::Chinese;
        const QString text =
            QCoreApplication::translate("PageStartHandler", "这些文件的编码不同，不能无损合并:") + QLatin1Char('\n') +
            QString::fromStdString(JoinDifferencesText(plan.differences, language)) + QLatin1Char('\n') +
            QCoreApplication::translate("PageStartHandler", "取消“无损快速”后可重新编码合并。");
        const int answer =
            ShowQuestionBox(m_window, text, QCoreApplication::translate("PageStartHandler", "取消无损快速"),
                            QCoreApplication::translate("PageStartHandler", "保留"));
        if (answer == 1 && m_lossless)
            m_lossless->setChecked(false);
        return;
    }
    ShowPromptBox(
        m_window,
        QCoreApplication::translate("PageStartHandler", "无法无损合并: %1").arg(QString::fromStdString(plan.failure)));
}

void PageStartHandler::launchMerge(const MergeJob& job)
{
    m_tasks.setMergeTotalDuration(job.totalDuration);
    m_tasks.setMergeSources(job.sources);
    if (auto* bar = m_window->findControlAs<QProgressBar>(QStringLiteral("video-merge-progress")))
        bar->setValue(0);
    QWidget* label = m_window->FindControl(QStringLiteral("video-merge-progress-label"));
    SetControlText(label, QStringLiteral("0%"));
    if (label)
        label->setToolTip(QString());  // an earlier failure's explanation no longer applies
    m_tasks.engine().startMerge(job.command, job.dropped, job.scratchFiles);
}

}  // namespace tolvex
