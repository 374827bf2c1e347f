#include "ui/main/ConvertSetAll.h"

#include "app/Helpers.h"
#include "media/ResolutionTable.h"
#include "ui/framework/CListUI.h"
#include "ui/framework/Controls.h"
#include "ui/main/CMainWnd.h"
#include "ui/main/OptionWordText.h"
#include "ui/main/PageItemControls.h"
#include "ui/main/PageTasks.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace tolvex {

void ConvertSetAll::attach(CMainWnd& window)
{
    m_window = &window;
    m_format = window.findControlAs<QComboBox>(QStringLiteral("convert-all-format"));
    m_size = window.findControlAs<QComboBox>(QStringLiteral("convert-all-size"));
    window.routeNotify(QStringLiteral("click"), QStringLiteral("convert-all-btn"), this);
    if (!m_format || !m_size)
        return;
    m_format->clear();
    for (const std::string& format : ResolutionTable::convertFormats())
        m_format->addItem(ToWideAnsi(format));
    QObject::connect(m_format, &QComboBox::currentIndexChanged, m_format, [this] { fillSizes(); });
    fillSizes();
}

void ConvertSetAll::onNotify(TNotifyUI& msg)
{
    if (msg.senderName() == QLatin1String("convert-all-btn"))
        applyToAll();
}

void ConvertSetAll::fillSizes()
{
    m_size->clear();
    const auto& options = ResolutionTable::options(ToNarrowAnsi(m_format->currentText()));
    for (size_t i = 0; i < options.size(); ++i) {
        AddOptionWordItem(m_size, options[i].text);
        if (options[i].isDefault)
            m_size->setCurrentIndex(static_cast<int>(i));
    }
}

int ConvertSetAll::applyToAll()
{
    CListUI* list = m_window ? m_window->pageList(PageKind::Convert) : nullptr;
    if (!list || !m_format || !m_size || m_format->currentIndex() < 0)
        return 0;
    const QString format = m_format->currentText();
    const int size = m_size->currentIndex();
    int changed = 0;
    for (int row = 0; row < list->count(); ++row) {
        QWidget* item = list->itemAt(row);
        auto* formatBox = item ? FindSubControlAs<QComboBox>(item, QStringLiteral("video-convert-format")) : nullptr;
        if (!formatBox || formatBox->findText(format) < 0)
            continue;  // the compact layout has no format of its own
        {
            // The item is set here as a whole, not once more by its box's own notification.
            const QSignalBlocker quiet(formatBox);
            formatBox->setCurrentIndex(formatBox->findText(format));
        }
        SetPlannedOutputName(item, ReplaceExtension(PlannedOutputName(item), format));
        m_tasks.outputParams().erase(static_cast<TaskId>(ControlTag(item)));
        FillResolutionBox(item, format);
        if (auto* ratio = FindSubControlAs<QComboBox>(item, QStringLiteral("video-convert-ratio"));
            ratio && size >= 0 && size < ratio->count())
            ratio->setCurrentIndex(size);
        ++changed;
    }
    return changed;
}

}  // namespace tolvex
