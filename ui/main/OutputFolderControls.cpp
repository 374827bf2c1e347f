#include "ui/main/OutputFolderControls.h"

#include "app/Settings.h"
#include "ui/common/MessageBoxes.h"
#include "ui/main/CMainWnd.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryFile>
#include <QUrl>

namespace tolvex {

void OutputFolderControls::Attach(CMainWnd& window)
{
    m_window = &window;
    window.RouteNotify(QStringLiteral("click"), QStringLiteral("output-choose-btn"), this);
    window.RouteNotify(QStringLiteral("click"), QStringLiteral("output-open-btn"), this);
}

void OutputFolderControls::OnNotify(TNotifyUI& msg)
{
    if (msg.senderName() == QLatin1String("output-choose-btn"))
        Choose();
    else if (msg.senderName() == QLatin1String("output-open-btn"))
        Open();
}

bool OutputFolderControls::CanWriteInto(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    // A name of its own for the write test, removed again: a file the user (or an earlier
    // run) left under any fixed name cannot make the test fail.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("tolvexTmp-XXXXXX")));
    probe.setAutoRemove(true);
    return probe.open();
}

bool OutputFolderControls::UseFolder(const QString& folder)
{
    if (!CanWriteInto(folder)) {
        ShowMessageBox(m_window, QCoreApplication::translate("OutputFolderControls", "该目录没有写入权限!"));
        return false;
    }
    if (QLineEdit* edit = m_window->OutputFolderEdit()) {
        edit->setText(folder);
        edit->setToolTip(folder);
    }
    WriteSetting(QStringLiteral("global"), QStringLiteral("output-dir"), folder);
    return true;
}

void OutputFolderControls::Choose()
{
    const QString start = m_window->OutputFolderEdit() ? m_window->OutputFolderEdit()->text() : QString();
    const QString folder = QFileDialog::getExistingDirectory(
        m_window, QCoreApplication::translate("OutputFolderControls", "选择视频存放目录"), start,
        QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    UseFolder(QDir::toNativeSeparators(folder));
}

void OutputFolderControls::Open()
{
    // The text goes to the file manager as it stands; a folder that does not exist simply
    // does not open.
    const QString folder = m_window->OutputFolderEdit() ? m_window->OutputFolderEdit()->text() : QString();
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace tolvex
