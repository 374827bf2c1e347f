#include "ui/main/PickerFolders.h"

#include "app/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tolvex {

namespace {
const QString kSection = QStringLiteral("folders");
// A folder path longer than this is not a folder a picker can use.
constexpr int kFolderChars = 4096;
}  // namespace

PickerKind PickerKindOf(PageKind page)
{
    switch (page) {
    case PageKind::Extract:
    case PageKind::Mute:
    case PageKind::Music:
        return PickerKind::Audio;
    default:
        return PickerKind::Video;
    }
}

QString PickerKey(PickerKind kind)
{
    switch (kind) {
    case PickerKind::Audio:
        return QStringLiteral("audio");
    case PickerKind::Music:
        return QStringLiteral("music");
    case PickerKind::Video:
        break;
    }
    return QStringLiteral("video");
}

QString PickerStartFolder(PickerKind kind)
{
    QString folder;
    if (ReadSetting(kSection, PickerKey(kind), QString(), folder, kFolderChars) && QFileInfo(folder).isDir())
        return folder;
    const auto location = kind == PickerKind::Music ? QStandardPaths::MusicLocation : QStandardPaths::MoviesLocation;
    const QString standard = QStandardPaths::writableLocation(location);
    return QFileInfo(standard).isDir() ? standard : QDir::homePath();
}

void RememberPickerFolder(PickerKind kind, const QString& folder)
{
    if (folder.isEmpty() || folder.size() >= kFolderChars)
        return;
    WriteSetting(kSection, PickerKey(kind), QDir::cleanPath(folder));
}

}  // namespace tolvex
