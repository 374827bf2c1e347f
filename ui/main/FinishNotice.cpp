#include "ui/main/FinishNotice.h"

#include "ui/main/CMainWnd.h"
#include "ui/main/TrayIcon.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QSystemTrayIcon>
#include <QUrl>

#include <iostream>

namespace tolvex {

namespace {
constexpr int kNoticeShownMs = 10000;
}

FinishNotice::FinishNotice() = default;

FinishNotice::~FinishNotice()
{
    QObject::disconnect(m_clickConnection);
}

void FinishNotice::Attach(CMainWnd& window)
{
    m_window = &window;
    auto* tray = window.Handler<TrayIcon>();
    if (tray && tray->Icon())
        m_clickConnection =
            QObject::connect(tray->Icon(), &QSystemTrayIcon::messageClicked, &window, [this] { OpenNoticeFolder(); });
    window.AddShutdownStep([this] { QObject::disconnect(m_clickConnection); });
}

void FinishNotice::OnJobEnded(PageKind page, bool failed)
{
    m_tally.JobEnded(page, failed);
}

void FinishNotice::OnPageBusy(PageKind page, bool busy)
{
    if (busy) {
        m_tally.PageBusy(page);
        return;
    }
    const std::optional<FinishTally::Count> count = m_tally.PageIdle(page);
    if (count && WindowIsAway())
        Post(page, *count);
}

QString FinishNotice::NoticeText(const FinishTally::Count& count)
{
    QString done = QCoreApplication::translate("FinishNotice", "%n 个文件已完成", nullptr, count.done);
    if (count.failed == 0)
        return done;
    return QCoreApplication::translate("FinishNotice", "%1，%n 个失败", nullptr, count.failed).arg(done);
}

bool FinishNotice::WindowIsAway() const
{
    return m_window && !m_window->IsClosed() && (m_window->isMinimized() || !m_window->isVisible());
}

void FinishNotice::Post(PageKind page, const FinishTally::Count& count)
{
    Notice notice;
    notice.page = page;
    notice.count = count;
    notice.title = QCoreApplication::translate("FinishNotice", "TOLVEX视频转换器");
    notice.text = NoticeText(count);
    notice.folder = m_window->OutputFolderEdit() ? m_window->OutputFolderEdit()->text() : QString();
    std::cout << "finish notice: " << notice.text.toStdString() << std::endl;
    auto* tray = m_window->Handler<TrayIcon>();
    if (tray && tray->Icon()) {
        const QSystemTrayIcon::MessageIcon icon =
            count.failed > 0 ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information;
        tray->Icon()->showMessage(notice.title, notice.text, icon, kNoticeShownMs);
    }
    m_last = std::move(notice);
}

void FinishNotice::OpenNoticeFolder() const
{
    if (m_last && !m_last->folder.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_last->folder));
}

}  // namespace tolvex
