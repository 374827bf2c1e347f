#include "ui/main/VolumeLabelHandler.h"

#include "ui/framework/Controls.h"
#include "ui/main/CMainWnd.h"

#include <QSlider>

namespace tolvex {

namespace {

struct SliderLabel {
    const char* slider;
    const char* label;
};

constexpr SliderLabel kSliderLabels[] = {
    {"video-mute-slider", "video-mute-label"},
    {"major-music-slider", "major-music-volume-label"},
    {"bg-music-slider", "bg-music-volume-label"},
};

}  // namespace

QString FormatGainLabel(int gain)
{
    return gain >= 0 ? QStringLiteral("+%1dB").arg(gain) : QStringLiteral("%1dB").arg(gain);
}

void VolumeLabelHandler::attach(CMainWnd& window)
{
    m_window = &window;
    for (const SliderLabel& pair : kSliderLabels) {
        const QString sliderName = QString::fromLatin1(pair.slider);
        window.routeNotify(QStringLiteral("valuechanged"), sliderName, this);
        // Labels start from the sliders' initial values.
        if (auto* slider = window.findControlAs<QSlider>(sliderName))
            SetControlText(window.FindControl(QString::fromLatin1(pair.label)), FormatGainLabel(slider->value()));
    }
}

void VolumeLabelHandler::onNotify(TNotifyUI& msg)
{
    auto* slider = qobject_cast<QSlider*>(msg.sender.data());
    if (!slider)
        return;
    for (const SliderLabel& pair : kSliderLabels) {
        if (msg.senderName() == QLatin1String(pair.slider)) {
            SetControlText(m_window->FindControl(QString::fromLatin1(pair.label)), FormatGainLabel(slider->value()));
            return;
        }
    }
}

}  // namespace tolvex
