// tolvex-cli's manual page as the build makes it: its synopsis names every option of every
// sub-command (those the program lists for its completion, and those the README's usage
// block shows), each sub-command has its entry, and the common options theirs.

#include "CliRun.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace tolvex::test {
namespace {

// The page's text without troff's escapes for a dash and for fonts.
QString ManualPageText()
{
    QFile page(QStringLiteral(TOLVEX_CLI_MANUAL_PAGE));
    EXPECT_TRUE(page.open(QIODevice::ReadOnly)) << TOLVEX_CLI_MANUAL_PAGE;
    QString text = QString::fromUtf8(page.readAll());
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    text.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
    return text;
}

QString Section(const QString& text, const QString& name)
{
    const qsizetype start = text.indexOf(QStringLiteral(".SH ") + name + QLatin1Char('\n'));
    if (start < 0)
        return {};
    const qsizetype end = text.indexOf(QStringLiteral("\n.SH "), start + 1);
    return text.mid(start, end < 0 ? -1 : end - start);
}

bool NamesOption(const QString& text, const QString& option)
{
    return text.contains(QRegularExpression(QStringLiteral("(^|[^-a-z])") + QRegularExpression::escape(option) +
                                            QStringLiteral("($|[^-a-z])")));
}

QStringList OptionsIn(const QString& text)
{
    QStringList options;
    static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
    for (const auto& match : option.globalMatch(text))
        options << match.captured();
    return options;
}

// The synopsis of each sub-command: its lines from ".B tolvex-cli <command>" to ".br".
QMap<QString, QString> SynopsisByCommand(const QString& text)
{
    QMap<QString, QString> synopsis;
    static const QRegularExpression start(QStringLiteral("^\\.B tolvex-cli ([a-z]+)"));
    for (const QString& block : Section(text, QStringLiteral("SYNOPSIS")).split(QStringLiteral("\n.br\n"))) {
        for (const QString& line : block.split(QLatin1Char('\n'))) {
            const auto match = start.match(line);
            if (match.hasMatch())
                synopsis[match.captured(1)] = block;
        }
    }
    return synopsis;
}

// The README's usage lines of the companion, by sub-command (continuation lines joined), and
// its common options.
QMap<QString, QString> ReadmeUsage(QStringList& commonOptions)
{
    QFile readme(QStringLiteral(TOLVEX_SOURCE_DIR "/README.md"));
    EXPECT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype section = text.indexOf(QStringLiteral("## Command-line companion"));
    const qsizetype blockStart = text.indexOf(QStringLiteral("```\n"), section) + 4;
    const qsizetype blockEnd = text.indexOf(QStringLiteral("```"), blockStart);
    QMap<QString, QString> usage;
    QString command;
    static const QRegularExpression line(QStringLiteral("^tolvex-cli ([a-z]+)"));
    for (const QString& l : text.mid(blockStart, blockEnd - blockStart).split(QLatin1Char('\n'))) {
        const auto match = line.match(l);
        if (match.hasMatch())
            command = match.captured(1);
        if (!command.isEmpty())
            usage[command] += l;
    }
    const qsizetype common = text.indexOf(QStringLiteral("Common options:"), blockEnd);
    const qsizetype commonEnd = text.indexOf(QStringLiteral("\n\n"), common);
    commonOptions = OptionsIn(text.mid(common, commonEnd - common));
    return usage;
}

TEST(CliManualPage, NamesEveryCommandAndOptionOfTheProgramAndTheReadme)
{
    const QString page = ManualPageText();
    ASSERT_FALSE(page.isEmpty());
    EXPECT_TRUE(page.contains(QStringLiteral(".TH TOLVEX-CLI 1 ")));
    const QMap<QString, QString> synopsis = SynopsisByCommand(page);
    const QString commandsSection = Section(page, QStringLiteral("COMMANDS"));
    const QString optionsSection = Section(page, QStringLiteral("OPTIONS"));

    // The program's own lists.
    const CliResult commands = RunCli({QStringLiteral("--list-commands")});
    ASSERT_EQ(commands.exitCode, 0);
    const QStringList names = commands.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(names.size(), 10);
    QMap<QString, QStringList> options;
    for (const QString& command : names) {
        const CliResult listed = RunCli({QStringLiteral("--list-options"), command});
        ASSERT_EQ(listed.exitCode, 0);
        for (const QString& line : listed.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            options[command] << line.section(QLatin1Char(' '), 0, 0);
    }
    // The options every page command takes are described once, under OPTIONS.
    QStringList common = options[QStringLiteral("convert")];
    for (const QString& command : names) {
        if (command != QLatin1String("probe"))
            common.removeIf([&](const QString& o) { return !options[command].contains(o); });
    }
    EXPECT_TRUE(common.contains(QStringLiteral("--output-dir")));
    for (const QString& command : names) {
        ASSERT_TRUE(synopsis.contains(command)) << command.toStdString() << " has no synopsis";
        EXPECT_TRUE(commandsSection.contains(QStringLiteral(".TP\n.B ") + command + QLatin1Char('\n')))
            << command.toStdString() << " has no entry under COMMANDS";
        for (const QString& option : options[command]) {
            const bool described = command != QLatin1String("probe") && common.contains(option)
                                       ? NamesOption(optionsSection, option)
                                       : NamesOption(synopsis[command], option);
            EXPECT_TRUE(described) << command.toStdString() << " " << option.toStdString();
        }
    }

    // The README's.
    QStringList readmeCommon;
    const QMap<QString, QString> readme = ReadmeUsage(readmeCommon);
    EXPECT_GE(readme.size(), 9);
    for (auto it = readme.begin(); it != readme.end(); ++it) {
        ASSERT_TRUE(synopsis.contains(it.key())) << it.key().toStdString();
        for (const QString& option : OptionsIn(it.value()))
            EXPECT_TRUE(NamesOption(synopsis[it.key()], option))
                << it.key().toStdString() << " " << option.toStdString();
    }
    EXPECT_EQ(readmeCommon.size(), 6);
    for (const QString& option : readmeCommon)
        EXPECT_TRUE(NamesOption(optionsSection, option)) << option.toStdString();
}

}  // namespace
}  // namespace tolvex::test
