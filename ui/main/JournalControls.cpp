#include "ui/main/JournalControls.h"

#include "ui/framework/Controls.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLineEdit>

namespace tolvex {

namespace {

const std::vector<const char*> kNone;

}  // namespace

const std::vector<const char*>& JournalItemControlNames(PageKind page)
{
    static const std::vector<const char*> convert{"video-convert-format", "video-convert-ratio"};
    static const std::vector<const char*> compress{"video-compress-format", "video-compress-ratio",
                                                   "video-compress-slider"};
    static const std::vector<const char*> rotate{"video-rotate-type"};
    static const std::vector<const char*> merge{kMergeTickControl};
    switch (page) {
    case PageKind::Convert:
        return convert;
    case PageKind::Compress:
        return compress;
    case PageKind::Rotate:
        return rotate;
    case PageKind::Merge:
        return merge;
    default:
        return kNone;
    }
}

const std::vector<const char*>& JournalPageControlNames(PageKind page)
{
    static const std::vector<const char*> merge{"video-merge-format", "video-merge-ratio"};
    static const std::vector<const char*> extract{"video-extract-format"};
    static const std::vector<const char*> mute{"video-mute", "video-mute-slider"};
    static const std::vector<const char*> music{"bg-music-edit", "bg-music-loop", "bg-music-replace",
                                                "major-music-slider", "bg-music-slider"};
    switch (page) {
    case PageKind::Merge:
        return merge;
    case PageKind::Extract:
        return extract;
    case PageKind::Mute:
        return mute;
    case PageKind::Music:
        return music;
    default:
        return kNone;
    }
}

QString JournalControlValue(const QWidget* control)
{
    if (const auto* slider = qobject_cast<const QAbstractSlider*>(control))
        return QString::number(slider->value());
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    return ControlText(control);
}

void SetJournalControlValue(QWidget* control, const QString& value)
{
    if (auto* slider = qobject_cast<QAbstractSlider*>(control)) {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (ok)
            slider->setValue(number);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setChecked(value == QLatin1String("1"));
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(value);
        edit->setCursorPosition(0);
        edit->setToolTip(value);
    } else {
        SetControlText(control, value);
    }
}

JournalControls ReadJournalControls(QWidget* container, const std::vector<const char*>& names)
{
    JournalControls controls;
    for (const char* name : names) {
        if (const QWidget* control = FindSubControl(container, QString::fromLatin1(name)))
            controls[QString::fromLatin1(name)] = JournalControlValue(control);
    }
    return controls;
}

void ApplyJournalControls(QWidget* container, const std::vector<const char*>& names, const JournalControls& controls)
{
    for (const char* name : names) {
        const auto value = controls.find(QString::fromLatin1(name));
        if (value == controls.end())
            continue;
        if (QWidget* control = FindSubControl(container, QString::fromLatin1(name)))
            SetJournalControlValue(control, value->second);
    }
}

}  // namespace tolvex
