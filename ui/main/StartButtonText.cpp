#include "ui/main/StartButtonText.h"

#include <QCoreApplication>

namespace tolvex {

// The texts are marked for the translation files in the "StartButton" context.
StartButtonTexts StartButtonTextsFor(PageKind page)
{
    switch (page) {
    case PageKind::Convert:
        return {"video-convert-btn", QT_TRANSLATE_NOOP("StartButton", "转换中"),
                QT_TRANSLATE_NOOP("StartButton", "开始转换")};
    case PageKind::Split:
        return {"video-split-btn", QT_TRANSLATE_NOOP("StartButton", "处理中"),
                QT_TRANSLATE_NOOP("StartButton", "一键裁剪")};
    case PageKind::Merge:
        return {"video-merge-btn", QT_TRANSLATE_NOOP("StartButton", "合并中"),
                QT_TRANSLATE_NOOP("StartButton", "一键合并")};
    case PageKind::Compress:
        return {"video-compress-btn", QT_TRANSLATE_NOOP("StartButton", "压缩中"),
                QT_TRANSLATE_NOOP("StartButton", "一键压缩")};
    case PageKind::Rotate:
        return {"video-rotate-btn", QT_TRANSLATE_NOOP("StartButton", "处理中"),
                QT_TRANSLATE_NOOP("StartButton", "一键旋转")};
    case PageKind::Gif:
        return {"video-gif-btn", QT_TRANSLATE_NOOP("StartButton", "处理中"),
                QT_TRANSLATE_NOOP("StartButton", "开始转换")};
    case PageKind::Extract:
        return {"video-extract-btn", QT_TRANSLATE_NOOP("StartButton", "转换中"),
                QT_TRANSLATE_NOOP("StartButton", "开始转换")};
    case PageKind::Mute:
        return {"video-mute-btn", QT_TRANSLATE_NOOP("StartButton", "处理中"),
                QT_TRANSLATE_NOOP("StartButton", "一键消音")};
    case PageKind::Music:
        return {"video-music-btn", QT_TRANSLATE_NOOP("StartButton", "处理中"),
                QT_TRANSLATE_NOOP("StartButton", "一键配乐")};
    }
    return {"", "", ""};
}

QString StartButtonText(PageKind page, bool busy)
{
    const StartButtonTexts texts = StartButtonTextsFor(page);
    return QCoreApplication::translate("StartButton", busy ? texts.busyText : texts.idleText);
}

}  // namespace tolvex
