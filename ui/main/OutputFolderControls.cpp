#include "ui/main/OutputFolderControls.h"

#include "app/Settings.h"
#include "tasks/OutputTree.h"
#include "ui/common/MessageBoxes.h"
#include "ui/main/CMainWnd.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryFile>
#include <QUrl>

namespace tolvex {

void OutputFolderControls::attach(CMainWnd& window)
{
    m_window = &window;
    window.routeNotify(QStringLiteral("click"), QStringLiteral("output-choose-btn"), this);
    window.routeNotify(QStringLiteral("click"), QStringLiteral("output-open-btn"), this);
    window.routeNotify(QStringLiteral("click"), QStringLiteral("keep-tree-check"), this);
    if (auto* keepTree = window.findControlAs<QAbstractButton>(QStringLiteral("keep-tree-check")))
        keepTree->setChecked(KeepsFolderTree());
}

void OutputFolderControls::onNotify(TNotifyUI& msg)
{
    if (msg.senderName() == QLatin1String("output-choose-btn"))
        choose();
    else if (msg.senderName() == QLatin1String("output-open-btn"))
        Open();
    else if (msg.senderName() == QLatin1String("keep-tree-check"))
        keepTreeClicked();
}

bool OutputFolderControls::canWriteInto(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    // A name of its own for the write test, removed again: a file the user (or an earlier
    // run) left under any fixed name cannot make the test fail.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("tolvexTmp-XXXXXX")));
    probe.setAutoRemove(true);
    return probe.open();
}

bool OutputFolderControls::useFolder(const QString& folder)
{
    if (!canWriteInto(folder)) {
        ShowMessageBox(m_window, QCoreApplication::translate("OutputFolderControls", "该目录没有写入权限!"));
        return false;
    }
    if (QLineEdit* edit = m_window->outputFolderEdit()) {
        edit->setText(folder);
        edit->setToolTip(folder);
    }
    WriteSetting(QStringLiteral("global"), QStringLiteral("output-dir"), folder);
    return true;
}

void OutputFolderControls::choose()
{
    const QString start = m_window->outputFolderEdit() ? m_window->outputFolderEdit()->text() : QString();
    const QString folder = QFileDialog::getExistingDirectory(
        m_window, QCoreApplication::translate("OutputFolderControls", "选择视频存放目录"), start,
        QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    useFolder(QDir::toNativeSeparators(folder));
}

void OutputFolderControls::keepTreeClicked()
{
    if (auto* keepTree = m_window->findControlAs<QAbstractButton>(QStringLiteral("keep-tree-check")))
        WriteSetting(QStringLiteral("global"), QStringLiteral("keep-tree"),
                     keepTree->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void OutputFolderControls::Open()
{
    // The text goes to the file manager as it stands; a folder that does not exist simply
    // does not open.
    const QString folder = m_window->outputFolderEdit() ? m_window->outputFolderEdit()->text() : QString();
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace tolvex
