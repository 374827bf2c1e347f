#include "media/MediaImportRules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace tolvex {

const std::array<const char*, 24> kVideoFormatWords = {
    "mp4",  "flv",  "wmv", "avi",  "mov", "mkv", "m4v", "f4v", "ts",  "mts", "rm",   "rmvb",
    "m3u8", "webm", "mpg", "mpeg", "asf", "dat", "3gp", "3g2", "vob", "ogv", "divx", "mxf",
};

namespace {

constexpr const char* kAudioPatterns[] = {
    "*.mp3", "*.aac", "*.wma", "*.ogg", "*.m4a",  "*.flac", "*.ape", "*.wav", "*.m4r",  "*.amr",  "*.mka",
    "*.au",  "*.caf", "*.ac3", "*.mp2", "*.aiff", "*.voc",  "*.wv",  "*.mmf", "*.aifc", "*.3gpp",
};

// The video pattern list keeps the described "*ogv" (no dot): it matches any name ending in "ogv".
QStringList VideoPatterns()
{
    QStringList patterns;
    for (const char* word : kVideoFormatWords) {
        const QString w = QString::fromLatin1(word);
        patterns << (w == QLatin1String("ogv") ? QStringLiteral("*ogv") : QStringLiteral("*.") + w);
    }
    return patterns;
}

}  // namespace

QString VideoPickerFilter()
{
    return QCoreApplication::translate("MediaImportRules", "视频文件(%1)").arg(VideoPatterns().join(QLatin1Char(' ')));
}

QString AudioPickerFilter()
{
    QStringList patterns;
    for (const char* p : kAudioPatterns)
        patterns << QString::fromLatin1(p);
    return QCoreApplication::translate("MediaImportRules", "音频文件(%1)").arg(patterns.join(QLatin1Char(' ')));
}

bool IsScannableVideoName(const QString& fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString extension = fileName.mid(dot + 1);
    if (extension.isEmpty() || extension.size() > 19)
        return false;
    for (const char* word : kVideoFormatWords) {
        const QString lower = QString::fromLatin1(word);
        if (extension == lower || extension == lower.toUpper())
            return true;
    }
    return false;
}

QStringList ScanVideoFolder(const QString& folder)
{
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return {};
    // Regular files only (hidden ones too): what the described archive-flag test keeps.
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    QStringList paths;
    for (const QFileInfo& entry : entries) {
        if (IsScannableVideoName(entry.fileName()))
            paths << dir.filePath(entry.fileName());
    }
    return paths;
}

QString FileStem(const QString& fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

QString FileExtension(const QString& fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot + 1);
}

QString DurationText(double seconds)
{
    const long long whole = (std::isfinite(seconds) && seconds > 0) ? static_cast<long long>(seconds) : 0;
    return QString::asprintf("%02lld:%02lld:%02lld", whole / 3600, (whole / 60) % 60, whole % 60);
}

}  // namespace tolvex
