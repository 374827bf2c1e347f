#include "ui/clip/PreviewPlatform.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <iostream>
#include <mutex>

namespace tolvex {

bool ChoosePreviewPlatform()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return false;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

bool PreviewCanShowPicture()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QString PreviewNeedsX11Notice()
{
    static std::once_flag told;
    std::call_once(told, [] {
        std::cout << "the video preview needs an X11 display (X server or XWayland); running on "
                  << QGuiApplication::platformName().toStdString() << std::endl;
    });
    return QCoreApplication::translate(
        "PreviewPlatform", "预览需要X11显示（X服务器或XWayland），当前无法显示画面；\n仍可输入时间添加片段。");
}

}  // namespace tolvex
