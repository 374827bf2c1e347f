#include "cli/CliOptions.h"

#include "app/ConsoleLog.h"
#include "app/Folders.h"
#include "tasks/FolderWalk.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>

namespace tolvex::cli {

CliOptions::CliOptions(const char* command, std::vector<OptionRule> rules)
    : m_command(command), m_rules(std::move(rules))
{
    m_rules.push_back({"output-dir", true});
    m_rules.push_back({"print-command", false});
    m_rules.push_back({"help", false});
    m_rules.push_back({"verbose", false});
    m_rules.push_back({"flat", false});
    m_rules.push_back({"json", false});
}

const char* CliOptions::command() const
{
    return m_command;
}

const OptionRule* CliOptions::find(const QString& name) const
{
    for (const OptionRule& rule : m_rules) {
        if (name == QLatin1String(rule.name))
            return &rule;
    }
    return nullptr;
}

bool CliOptions::parse(const QStringList& args)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnded || !arg.startsWith(QLatin1String("--")) || arg == QLatin1String("-")) {
            m_positional.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = arg.mid(2);
        std::optional<QString> inlineValue;
        if (const qsizetype eq = name.indexOf(QLatin1Char('=')); eq >= 0) {
            inlineValue = name.mid(eq + 1);
            name.truncate(eq);
        }
        const OptionRule* rule = find(name);
        if (!rule) {
            m_error = QStringLiteral("unknown option --%1").arg(name);
            return false;
        }
        if (!rule->takesValue) {
            if (inlineValue) {
                m_error = QStringLiteral("option --%1 takes no value").arg(name);
                return false;
            }
            m_values[rule->name] = QString();
            continue;
        }
        if (inlineValue) {
            m_values[rule->name] = *inlineValue;
        } else if (i + 1 < args.size()) {
            m_values[rule->name] = args[++i];  // taken as is: "--volume -5" is a value
        } else {
            m_error = QStringLiteral("option --%1 needs a value").arg(name);
            return false;
        }
    }
    return true;
}

QString CliOptions::value(const char* name, const QString& fallback) const
{
    const auto it = m_values.find(name);
    return it == m_values.end() ? fallback : it->second;
}

QString CliOptions::outputFolder() const
{
    if (has("output-dir"))
        return QDir::cleanPath(QFileInfo(value("output-dir")).absoluteFilePath());
    return OutputFolder();
}

bool CliOptions::inputFiles(QStringList& files)
{
    files.clear();
    m_scanRoots.clear();
    for (const QString& arg : m_positional) {
        const QFileInfo info(arg);
        if (info.isDir()) {
            // A folder is walked whole; the outputs and the temporary files are not inputs.
            const QString root = QDir::cleanPath(info.absoluteFilePath());
            FolderWalkRules rules;
            rules.skipped = {outputFolder(), TempFolder()};
            for (const QString& file : WalkVideoFolder(root, rules)) {
                files.append(file);
                m_scanRoots[file] = root;
            }
            continue;
        }
        if (!info.isFile() || !info.isReadable()) {
            m_error = QStringLiteral("cannot read input file: %1").arg(arg);
            return false;
        }
        files.append(QDir::cleanPath(info.absoluteFilePath()));
    }
    return true;
}

QString CliOptions::scanRootOf(const QString& file) const
{
    const auto it = m_scanRoots.find(file);
    return it == m_scanRoots.end() ? QString() : it->second;
}

bool CliOptions::intValue(const char* name, int low, int high, int fallback, int& out)
{
    if (!has(name)) {
        out = fallback;
        return true;
    }
    bool ok = false;
    const int v = value(name).trimmed().toInt(&ok);
    if (!ok || v < low || v > high) {
        m_error = QStringLiteral("--%1 needs a whole number from %2 to %3, not '%4'")
                      .arg(QLatin1String(name))
                      .arg(low)
                      .arg(high)
                      .arg(value(name));
        return false;
    }
    out = v;
    return true;
}

bool CliOptions::frameSize(const char* keyword, const QString& keywordText, QString& out)
{
    const QString size = value("size", QString::fromLatin1(keyword));
    if (size == QLatin1String(keyword)) {
        out = keywordText;
        return true;
    }
    if (QRegularExpression(QStringLiteral("^[1-9][0-9]*x[1-9][0-9]*$")).match(size).hasMatch()) {
        out = size;
        return true;
    }
    m_error = QStringLiteral("--size needs %1 or WxH, not '%2'").arg(QLatin1String(keyword), size);
    return false;
}

void CliOptions::printError() const
{
    std::fprintf(stderr, "tolvex-cli %s: %s\n", m_command, m_error.toLocal8Bit().constData());
}

std::optional<int> BeginCommand(CliOptions& options, const QStringList& args, const char* usage, const char* details,
                                int minFiles, QStringList& files)
{
    if (!options.parse(args))
        return UsageError(options);
    SetConsoleQuiet(!options.has("verbose"));
    if (options.help()) {
        PrintUsage(options.command(), usage, details);
        return 0;
    }
    if (!options.inputFiles(files))
        return UsageError(options);
    if (files.size() < minFiles) {
        options.setError(minFiles == 1 ? QStringLiteral("no input file")
                                       : QStringLiteral("needs at least %1 input files").arg(minFiles));
        return UsageError(options);
    }
    return std::nullopt;
}

int UsageError(const CliOptions& options)
{
    options.printError();
    return 2;
}

void PrintUsage(const char* command, const char* usage, const char* details)
{
    std::printf(
        "usage: tolvex-cli %s %s\n\n%s\ncommon options:\n"
        "  --output-dir DIR   write the outputs there (default: the program's output folder)\n"
        "  --print-command    print each job's command lines, one line per pass, and run nothing\n"
        "  --verbose          also write the engine's notes and ffmpeg's own output to standard error\n"
        "  --flat             outputs of files found in a FOLDER go to the output folder itself, not to\n"
        "                     the folder's mirrored tree under it\n"
        "  --json             one JSON object a line on standard output instead of the text lines\n"
        "  --help             show this help\n",
        command, usage, details);
}

}  // namespace tolvex::cli
