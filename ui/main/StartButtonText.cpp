#include "ui/main/StartButtonText.h"

#include "tasks/PageTexts.h"

#include <QCoreApplication>

namespace tolvex {

namespace {

// The busy and idle texts of the pages, for the translation files.
[[maybe_unused]] const char* const kStartButtonTexts[] = {
    QT_TRANSLATE_NOOP("StartButton", "转换中"),   QT_TRANSLATE_NOOP("StartButton", "处理中"),
    QT_TRANSLATE_NOOP("StartButton", "合并中"),   QT_TRANSLATE_NOOP("StartButton", "压缩中"),
    QT_TRANSLATE_NOOP("StartButton", "开始转换"), QT_TRANSLATE_NOOP("StartButton", "一键裁剪"),
    QT_TRANSLATE_NOOP("StartButton", "一键合并"), QT_TRANSLATE_NOOP("StartButton", "一键压缩"),
    QT_TRANSLATE_NOOP("StartButton", "一键旋转"), QT_TRANSLATE_NOOP("StartButton", "一键消音"),
    QT_TRANSLATE_NOOP("StartButton", "一键配乐"),
};

}  // namespace

QString StartButtonText(PageKind page, bool busy)
{
    const StartButtonTexts texts = StartButtonTextsFor(page);
    return QCoreApplication::translate("StartButton", busy ? texts.busyText : texts.idleText);
}

}  // namespace tolvex
