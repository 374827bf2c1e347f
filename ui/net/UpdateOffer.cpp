#include "ui/net/UpdateOffer.h"

#include "ui/common/MessageBoxes.h"
#include "ui/net/DownloadDialog.h"

#include <QCoreApplication>
#include <QString>

namespace tolvex {

void OfferUpdate(QWidget* owner, const UpdateInfo& release)
{
    const QString text = QCoreApplication::translate("UpdateOffer", "发现新版本啦!");
    if (release.forced) {
        ShowPromptBox(owner, text);
    } else if (ShowMessageBox(owner, text) == 0) {
        return;
    }
    DownloadDialog::Open(owner, release.downloadUrl, release.forced, release.sha256);
}

void ShowUpdateCheckResult(QWidget* owner, const UpdateCheckResult& result, bool interactive)
{
    switch (result.outcome) {
    case UpdateCheckOutcome::NewerRelease:
        OfferUpdate(owner, result.info);
        break;
    case UpdateCheckOutcome::UpToDate:
        if (interactive)
            ShowPromptBox(owner, QCoreApplication::translate("UpdateOffer", "没有发现新版本!"));
        break;
    case UpdateCheckOutcome::Failed:
        break;
    }
}

}  // namespace tolvex
