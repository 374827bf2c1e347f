#include "ui/framework/SkinResources.h"

#include "app/Folders.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>

namespace tolvex {

namespace {

QString& OverrideFolder()
{
    static QString folder;
    return folder;
}

bool& ThemeApplied()
{
    static bool applied = false;
    return applied;
}

QString DefaultSkinFolder()
{
    const QString exeFolder = ExecutableFolder();
    QString beside = exeFolder + QStringLiteral("/skin");
    if (QFileInfo(beside).isDir())
        return beside;
    QString installed = QDir::cleanPath(exeFolder + QStringLiteral("/../share/tolvex-video-converter/skin"));
    if (QFileInfo(installed).isDir())
        return installed;
    return beside;
}

}  // namespace

QString SkinResources::skinFolder()
{
    return OverrideFolder().isEmpty() ? DefaultSkinFolder() : OverrideFolder();
}

void SkinResources::setSkinFolder(const QString& folder)
{
    OverrideFolder() = folder;
}

QString SkinResources::skinPath(const QString& fileName)
{
    return skinFolder() + QLatin1Char('/') + fileName;
}

bool SkinResources::applyTheme()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return false;
    if (ThemeApplied())
        return !app->styleSheet().isEmpty();
    ThemeApplied() = true;

    // A font that carries the Chinese texts of the windows, when one is installed.
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"WenQuanYi Zen Hei", "Noto Sans CJK SC", "Noto Sans SC", "Droid Sans Fallback"}) {
        if (families.contains(QString::fromLatin1(name))) {
            QFont font(QString::fromLatin1(name));
            font.setPixelSize(13);
            app->setFont(font);
            break;
        }
    }

    QFile file(skinPath(QStringLiteral("theme.qss")));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString sheet = QString::fromUtf8(file.readAll());
    // The rules of the page list items come in the same sheet: set once, before any widget
    // exists. Set again later, the application's sheet would style every widget anew.
    QFile listItems(skinPath(QStringLiteral("ListItems.qss")));
    if (listItems.open(QIODevice::ReadOnly))
        sheet += QLatin1Char('\n') + QString::fromUtf8(listItems.readAll());
    // Image urls in the sheet are relative to the skin folder.
    sheet.replace(QStringLiteral("url(images/"), QStringLiteral("url(") + skinFolder() + QStringLiteral("/images/"));
    app->setStyleSheet(sheet);
    return true;
}

}  // namespace tolvex
