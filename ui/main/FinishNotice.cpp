#include "ui/main/FinishNotice.h"

#include "ui/main/CMainWnd.h"
#include "ui/main/DesktopNotifications.h"
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

void FinishNotice::attach(CMainWnd& window)
{
    m_window = &window;
    auto* tray = window.handler<TrayIcon>();
    if (tray && tray->icon())
        m_clickConnection =
            QObject::connect(tray->icon(), &QSystemTrayIcon::messageClicked, &window, [this] { openNoticeFolder(); });
    window.addShutdownStep([this] {
        QObject::disconnect(m_clickConnection);
        m_desktopNotices.reset();
    });
}

void FinishNotice::onJobEnded(PageKind page, bool failed)
{
    m_tally.jobEnded(page, failed);
}

void FinishNotice::onPageBusy(PageKind page, bool busy)
{
    if (busy) {
        m_tally.pageBusy(page);
        return;
    }
    const std::optional<FinishTally::Count> count = m_tally.pageIdle(page);
    if (count && windowIsAway())
        post(page, *count);
}

QString FinishNotice::noticeText(const FinishTally::Count& count)
{
    QString done = QCoreApplication::translate("FinishNotice", "%n 个文件已完成", nullptr, count.done);
    if (count.failed == 0)
        return done;
    return QCoreApplication::translate("FinishNotice", "%1，%n 个失败", nullptr, count.failed).arg(done);
}

bool FinishNotice::windowIsAway() const
{
    return m_window && !m_window->isClosed() && (m_window->isMinimized() || !m_window->isVisible());
}

void FinishNotice::post(PageKind page, const FinishTally::Count& count)
{
    Notice notice;
    notice.page = page;
    notice.count = count;
    notice.title = QCoreApplication::translate("FinishNotice", "TOLVEX视频转换器");
    notice.text = noticeText(count);
    notice.folder = m_window->outputFolderEdit() ? m_window->outputFolderEdit()->text() : QString();
    std::cout << "finish notice: " << notice.text.toStdString() << std::endl;
    auto* tray = m_window->handler<TrayIcon>();
    if (tray && tray->icon() && QSystemTrayIcon::isSystemTrayAvailable()) {
        const QSystemTrayIcon::MessageIcon icon =
            count.failed > 0 ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information;
        tray->icon()->showMessage(notice.title, notice.text, icon, kNoticeShownMs);
    } else {
        // No tray to show a balloon (a panel without a notification area): the desktop's
        // notification service shows it, and its click opens the folder the same way.
        if (!m_desktopNotices)
            m_desktopNotices = std::make_unique<DesktopNotifications>([this] { openNoticeFolder(); });
        m_desktopNotices->show(notice.title, notice.text, count.failed > 0, kNoticeShownMs);
    }
    m_last = std::move(notice);
}

void FinishNotice::openNoticeFolder() const
{
    if (m_last && !m_last->folder.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_last->folder));
}

}  // namespace tolvex
