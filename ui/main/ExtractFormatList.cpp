#include "ui/main/ExtractFormatList.h"

#include "media/EncoderSupport.h"

#include <QComboBox>

#include <string>
#include <vector>

namespace tolvex {

ExtractFormatList::~ExtractFormatList()
{
    if (m_thread.joinable())
        m_thread.join();
}

void ExtractFormatList::start(QComboBox* box)
{
    if (!box || m_thread.joinable())
        return;
    m_box = box;
    m_thread = std::thread([this] {
        std::vector<std::string> formats = ExtractAudioFormats();
        QMetaObject::invokeMethod(
            this,
            [this, formats = std::move(formats)] {
                if (!m_box || formats.empty())
                    return;
                const QString previous = m_box->currentText();
                m_box->clear();
                for (const std::string& format : formats)
                    m_box->addItem(QString::fromStdString(format));
                const int index = m_box->findText(previous);
                m_box->setCurrentIndex(index >= 0 ? index : 0);
            },
            Qt::QueuedConnection);
    });
}

}  // namespace tolvex
