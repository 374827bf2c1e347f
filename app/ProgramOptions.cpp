#include "app/ProgramOptions.h"

#include "app/BuildInfo.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

namespace tolvex {

namespace {

// A local path for a path or a file URL; empty for URLs of other kinds.
QString FilePathOf(const QString& argument, const QString& workingFolder)
{
    static const QRegularExpression urlScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive) || urlScheme.match(argument).hasMatch()) {
        const QUrl url(argument);
        return url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : QString();
    }
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(argument));
}

}  // namespace

ProgramOptions ParseProgramOptions(const QStringList& arguments, const QString& workingFolder)
{
    ProgramOptions options;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            if (argument.isEmpty())
                continue;
            const QString path = FilePathOf(argument, workingFolder);
            if (path.isEmpty()) {
                options.error = QStringLiteral("not a local file: %1").arg(argument);
                return options;
            }
            options.files << path;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--load-and-quit")) {
            options.loadAndQuit = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else if (argument == QLatin1String("--version")) {
            options.version = true;
        } else if (argument == QLatin1String("--lang") || argument.startsWith(QLatin1String("--lang="))) {
            QString value;
            if (argument == QLatin1String("--lang")) {
                if (i + 1 >= arguments.size()) {
                    options.error = QStringLiteral("--lang needs zh or en");
                    return options;
                }
                value = arguments[++i];
            } else {
                value = argument.mid(7);
            }
            value = value.trimmed().toLower();
            if (value != QLatin1String("zh") && value != QLatin1String("en")) {
                options.error = QStringLiteral("--lang needs zh or en, not \"%1\"").arg(value);
                return options;
            }
            options.language = value;
        } else {
            options.error = QStringLiteral("unknown option %1").arg(argument);
            return options;
        }
    }
    return options;
}

QString ProgramUsage()
{
    return QStringLiteral("usage: tolvex-video-converter [--lang zh|en] [--load-and-quit] [--] [FILE]...");
}

QString ProgramHelp()
{
    return ProgramUsage() + QStringLiteral(
                                "\n\n"
                                "Opens the window; the FILEs (paths or file:// URLs) are added to the convert page.\n"
                                "When the program already runs, they are handed to its window instead.\n"
                                "\n"
                                "  --lang zh|en      the language of the windows (default: the desktop's locale)\n"
                                "  --load-and-quit   build the main window from its skin and end, printing\n"
                                "                    \"loaded <skin folder> (<language>)\"\n"
                                "  --help            show this help\n"
                                "  --version         show the version\n");
}

QString ProgramVersionLine()
{
    return QStringLiteral("tolvex-video-converter %1").arg(QLatin1String(kProgramVersion));
}

}  // namespace tolvex
