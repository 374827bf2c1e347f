#include "app/Folders.h"

#include "app/ConsoleLog.h"
#include "app/Helpers.h"
#include "app/IniFile.h"
#include "app/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <limits>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvex {

namespace {

QString DataBase()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        base = home.isEmpty() ? QString() : home + QStringLiteral("/.local/share");
    }
    while (base.size() > 1 && base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

bool FolderExists(const QString& path)
{
    struct stat st {};
    return ::stat(ToNarrowAnsi(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void PrintCreateError(const char* what, const QString& path)
{
    ConsoleLog("%s%s\n", what, ToNarrowAnsi(path).c_str());
}

// Walks the levels of a path and creates each missing one. The last level reports with
// its own console text, as every level before it does with "fullPath".
void CreateLevels(const QString& path)
{
    QString normal = path;
    normal.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = normal.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString built = normal.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    for (int i = 0; i < parts.size(); ++i) {
        if (!built.isEmpty() && !built.endsWith(QLatin1Char('/')))
            built += QLatin1Char('/');
        built += parts[i];
        if (FolderExists(built))
            continue;
        if (::mkdir(ToNarrowAnsi(built).c_str(), 0755) != 0 && !FolderExists(built))
            PrintCreateError(i + 1 < parts.size() ? "create dir error fullPath: " : "create dir error curPath: ",
                             built);
    }
}

}  // namespace

QString AppDataFolder(const QString& subPath)
{
    QString sub = subPath;
    sub.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString base = DataBase();
    QString result = base.isEmpty() ? sub : base + QLatin1Char('/') + sub;
    CreateLevels(result);
    return result;
}

QString EnsureFolderPath(const QString& path)
{
    CreateLevels(path);
    return path;
}

QString DefaultOutputFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (base.isEmpty() || !FolderExists(base))
        base = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return base + QStringLiteral("/TOLVEX视频转换器");
}

QString OutputFolder()
{
    QString value;
    // The whole stored path: a folder deeper than any fixed buffer still works.
    ReadSetting(QStringLiteral("global"), QStringLiteral("output-dir"), QString(), value, 0);
    if (!value.isEmpty()) {
        EnsureFolderPath(value);
        return value;
    }
    QString path = DefaultOutputFolder();
    EnsureFolderPath(path);
    return path;
}

QString TempFolder()
{
    return AppDataFolder(QStringLiteral("TolvexVideoConverter/Temp"));
}

namespace {

QString ProcessTempPath()
{
    return TempFolder() + QLatin1Char('/') + QString::number(::getpid());
}

}  // namespace

QString ProcessTempFolder()
{
    return EnsureFolderPath(ProcessTempPath());
}

bool RemoveProcessTempFolder()
{
    QDir folder(ProcessTempPath());
    return !folder.exists() || folder.removeRecursively();
}

int SweepStaleTempFolders()
{
    const QDir temp(TempFolder());
    int removed = 0;
    for (const QString& name : temp.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        bool isNumber = false;
        const qint64 pid = name.toLongLong(&isNumber);
        if (!isNumber || pid <= 0 || pid > std::numeric_limits<pid_t>::max() || QString::number(pid) != name)
            continue;
        // EPERM: the process exists (another user's); only "no such process" frees the folder.
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        QDir stale(temp.filePath(name));
        const QStringList thumbnails = stale.entryList({QStringLiteral("*-thumbnail-*.jpg")}, QDir::Files);
        if (!thumbnails.isEmpty()) {
            const QDir own(ProcessTempFolder());
            for (const QString& thumbnail : thumbnails)
                QFile::rename(stale.filePath(thumbnail), own.filePath(thumbnail));
        }
        if (stale.removeRecursively())
            ++removed;
    }
    return removed;
}

QString AdoptedThumbnailPath(const QString& recorded)
{
    if (recorded.isEmpty())
        return {};
    if (QFileInfo::exists(recorded))
        return recorded;
    const QString adopted = ProcessTempPath() + QLatin1Char('/') + QFileInfo(recorded).fileName();
    return QFileInfo::exists(adopted) ? adopted : QString();
}

QString LogFolder()
{
    return AppDataFolder(QStringLiteral("TolvexVideoConverter/Log"));
}

QString CrashDumpPath()
{
    return AppDataFolder(QStringLiteral("Pellam Software/PellamVideoConverter/Dump")) +
           QStringLiteral("/PellamVideoConverter.dmp");
}

QString ExecutableFolder()
{
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return QDir::currentPath();
    buf[n] = '\0';
    return QFileInfo(QString::fromLocal8Bit(buf)).absolutePath();
}

std::string ReadChannelAgent()
{
    const IniFile ini(ExecutableFolder() + QStringLiteral("/Config.ini"));
    QString value = ini.value(QStringLiteral("global"), QStringLiteral("ag")).value_or(QString());
    if (value.size() > 99)
        value.truncate(99);
    return ToNarrowAnsi(value);
}

}  // namespace tolvex
