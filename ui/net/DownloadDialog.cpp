#include "ui/net/DownloadDialog.h"

#include "app/Folders.h"
#include "app/Helpers.h"
#include "tasks/TaskTypes.h"
#include "ui/common/MessageBoxes.h"
#include "ui/framework/OwnedDialog.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSlider>
#include <QUrl>

#include <glog/logging.h>

#include <cstdio>
#include <memory>

namespace tolvex {

namespace {

QPointer<DownloadDialog> g_current;

struct DownloadProgressRecord : MessageRecord {
    DownloadProgress progress;
};

struct DownloadFinishedRecord : MessageRecord {
    DownloadOutcome outcome = DownloadOutcome::Failed;
};

// How far the slider moves per activity report when the length is unknown.
constexpr int kActivityStep = 5;

}  // namespace

DownloadDialog::DownloadDialog(QWidget* owner, std::string url, bool forced, QString folder, QString keepFolder,
                               std::string sha256)
    : m_owner(owner),
      m_url(std::move(url)),
      m_forced(forced),
      m_folder(std::move(folder)),
      m_keepFolder(std::move(keepFolder)),
      m_sha256(std::move(sha256))
{
}

DownloadDialog::~DownloadDialog()
{
    stopWorker();
}

void DownloadDialog::Open(QWidget* owner, const std::string& url, bool forced, const std::string& sha256)
{
    RunOwnedModal(std::make_unique<DownloadDialog>(owner, url, forced, ProcessTempFolder(), TempFolder(), sha256),
                  owner);
}

DownloadDialog* DownloadDialog::current()
{
    return g_current.data();
}

QString DownloadDialog::GetSkinFile()
{
    return QStringLiteral("download.xml");
}

QString DownloadDialog::getWindowClassName() const
{
    return QStringLiteral("升级下载");
}

void DownloadDialog::InitWindow()
{
    m_text = findControlAs<QLabel>(QStringLiteral("download-text"));
    m_slider = findControlAs<QSlider>(QStringLiteral("download-slider"));
    m_cancel = findControlAs<QAbstractButton>(QStringLiteral("cancel"));
    if (m_slider) {
        // The slider shows progress; the user does not move it.
        m_slider->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_slider->setRange(0, 100);
        m_slider->setValue(0);
    }
    if (m_text)
        m_text->setText(QStringLiteral("0%"));
    g_current = this;

    m_worker = std::thread([this, url = m_url, folder = m_folder, sha256 = m_sha256] {
        HttpDownload download(url, folder, sha256);
        const DownloadOutcome outcome = download.run(m_cancelled, [this](const DownloadProgress& progress) {
            auto record = std::make_unique<DownloadProgressRecord>();
            record->progress = progress;
            PostMessageTo(this, kProgressMessage, std::move(record));
        });
        auto record = std::make_unique<DownloadFinishedRecord>();
        record->outcome = outcome;
        PostMessageTo(this, kFinishedMessage, std::move(record));
    });
    m_target = HttpDownload(m_url, m_folder).targetPath();
}

void DownloadDialog::Notify(TNotifyUI& msg)
{
    if (msg.type == QLatin1String("click") && m_cancel && msg.sender == m_cancel) {
        m_cancelled.store(true);
        Close(1);
    }
    WindowImplBase::Notify(msg);
}

bool DownloadDialog::HandleCustomMessage(MessageEvent& message)
{
    if (isClosed())
        return message.number() == kProgressMessage || message.number() == kFinishedMessage;
    if (message.number() == kProgressMessage) {
        if (const auto* record = message.recordAs<DownloadProgressRecord>())
            showProgress(record->progress);
        return true;
    }
    if (message.number() == kFinishedMessage) {
        if (const auto* record = message.recordAs<DownloadFinishedRecord>())
            finish(record->outcome);
        return true;
    }
    return false;
}

void DownloadDialog::showProgress(const DownloadProgress& progress)
{
    if (progress.percent >= 0) {
        if (progress.percent == m_lastPercent)
            return;
        m_lastPercent = progress.percent;
        if (m_text)
            m_text->setText(QString::asprintf("%d%%", progress.percent));
        if (m_slider)
            m_slider->setValue(progress.percent);
        return;
    }
    // No length: the bytes so far, and a slider that keeps moving.
    if (m_text)
        m_text->setText(FormatFileSize(progress.received));
    if (m_slider)
        m_slider->setValue((m_slider->value() + kActivityStep) % (m_slider->maximum() + 1));
}

void DownloadDialog::finish(DownloadOutcome outcome)
{
    m_finished = true;
    stopWorker();
    switch (outcome) {
    case DownloadOutcome::Completed:
        showProgress(DownloadProgress{100, 0, 0});
        openInstaller();
        break;
    case DownloadOutcome::Cancelled:
        break;
    case DownloadOutcome::Failed:
    case DownloadOutcome::Short:
        LOG(ERROR) << "升级失败";
        ShowPromptBox(this, QCoreApplication::translate("DownloadDialog", "升级失败"));
        break;
    }
    Close(1);
}

void DownloadDialog::openInstaller()
{
    // Out of this process's temp folder, which goes when the program ends, into the
    // shared one: the installer outlives the program it replaces.
    const QString kept = QDir(m_keepFolder).absoluteFilePath(QFileInfo(m_target).fileName());
    if (std::rename(QFile::encodeName(m_target).constData(), QFile::encodeName(kept).constData()) != 0) {
        LOG(ERROR) << "升级失败: cannot move " << m_target.toStdString() << " to " << kept.toStdString();
        QFile::remove(m_target);
        ShowPromptBox(this, QCoreApplication::translate("DownloadDialog", "升级失败"));
        return;
    }
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(kept))) {
        LOG(INFO) << "installer opened: " << kept.toStdString();
        endProgram();
        return;
    }
    LOG(WARNING) << "the desktop cannot open " << kept.toStdString();
    ShowPromptBox(this, QCoreApplication::translate("DownloadDialog", "安装包已下载到 %1，请手动打开")
                            .arg(QDir::toNativeSeparators(kept)));
    // A forced release leaves this one no way on: it ends once the user knows where the
    // installer is.
    if (m_forced)
        endProgram();
}

void DownloadDialog::endProgram()
{
    // The window's own quit: running jobs are stopped and their partial files deleted.
    PostMessageTo(m_owner.data(), WM_APP_QUIT);
}

void DownloadDialog::stopWorker()
{
    m_cancelled.store(m_cancelled.load() || !m_finished);
    if (m_worker.joinable())
        m_worker.join();
}

void DownloadDialog::onDestroy()
{
    stopWorker();
    // Closing a forced update before it finished leaves no choice but to end the program.
    if (m_forced && !m_finished)
        endProgram();
}

void DownloadDialog::OnFinalMessage()
{
    delete this;
}

}  // namespace tolvex
