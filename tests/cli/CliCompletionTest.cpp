// tolvex-cli's bash completion, run by bash as it runs it on a Tab: the words typed so far in
// COMP_WORDS, the function's offers in COMPREPLY. The program completed is the built
// tolvex-cli, which the completion asks for its commands, options and formats.

#include "tests/support/TestMedia.h"

#include "CliRun.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace tolvex::test {
namespace {

const QString kScript = QStringLiteral(TOLVEX_SOURCE_DIR "/packaging/tolvex-cli.bash-completion");
const QString kCli = QStringLiteral(TOLVEX_CLI_PATH);
const QString kBashCompletion = QStringLiteral("/usr/share/bash-completion/bash_completion");

// What the completion offers for `words` (the last one being completed), without
// bash-completion loaded, as in a plain bash.
using Words = std::vector<std::string>;
using WordSet = std::set<std::string>;

Words Split(const QByteArray& out)
{
    Words words;
    for (const QByteArray& line : out.split('\n')) {
        if (!line.isEmpty())
            words.push_back(line.toStdString());
    }
    return words;
}

Words Offers(const QStringList& words)
{
    const QString script = QStringLiteral(
        "source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _tolvex_cli; "
        "printf '%s\\n' \"${COMPREPLY[@]}\"");
    QByteArray out;
    QByteArray err;
    EXPECT_TRUE(RunProgram(QStringLiteral("bash"),
                           QStringList{QStringLiteral("-c"), script, QStringLiteral("bash"), kScript, kCli} + words,
                           &out, &err))
        << err.toStdString();
    return Split(out);
}

// The same with bash-completion loaded, as a desktop's bash runs it: `line` as typed up to the
// cursor, `words` as bash splits it ("--format=mp" is "--format" "=" "mp").
Words OffersWithBashCompletion(const QString& line, const QStringList& words)
{
    const QString script = QStringLiteral(
        "source \"$1\"; source \"$2\"; COMP_LINE=$3; COMP_POINT=${#COMP_LINE}; shift 3; "
        "COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _tolvex_cli; printf '%s\\n' \"${COMPREPLY[@]}\"");
    QByteArray out;
    QByteArray err;
    EXPECT_TRUE(RunProgram(QStringLiteral("bash"),
                           QStringList{QStringLiteral("-c"), script, QStringLiteral("bash"), kBashCompletion, kScript,
                                       kCli + QLatin1Char(' ') + line, kCli} +
                               words,
                           &out, &err))
        << err.toStdString();
    return Split(out);
}

WordSet SetOf(const Words& words)
{
    return WordSet(words.begin(), words.end());
}

// The words after `label` on the line of `text` that holds it.
Words WordsAfter(const QString& text, const QString& label)
{
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const qsizetype at = line.indexOf(label);
        if (at >= 0)
            return Split(line.mid(at + label.size()).toUtf8().replace(' ', '\n'));
    }
    return {};
}

// Every "--name" a command's --help names.
WordSet OptionsInHelp(const QString& command)
{
    const CliResult help = RunCli({command, QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0) << command.toStdString();
    WordSet options;
    static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
    for (const auto& match : option.globalMatch(help.out))
        options.insert(match.captured().toStdString());
    return options;
}

TEST(CliCompletion, OffersTheSubCommandsTheirOptionsAndAPagesFormats)
{
    const WordSet commands{"probe", "convert", "compress", "rotate", "extract",
                           "mute",  "music",   "split",    "gif",    "merge"};
    EXPECT_EQ(SetOf(Offers({QString()})), commands);
    EXPECT_EQ(Offers({QStringLiteral("co")}), (Words{"convert", "compress"}));
    EXPECT_EQ(SetOf(Offers({QStringLiteral("--")})), (WordSet{"--help", "--version"}));

    // The convert page's formats, as its help lists them; "--format=" as bash splits it.
    const CliResult convertHelp = RunCli({QStringLiteral("convert"), QStringLiteral("--help")});
    const Words convertFormats = WordsAfter(convertHelp.out, QStringLiteral("output format (default mp4):"));
    ASSERT_EQ(convertFormats.size(), 24) << convertHelp.out.toStdString();
    EXPECT_EQ(Offers({QStringLiteral("convert"), QStringLiteral("--format"), QString()}), convertFormats);
    EXPECT_EQ(
        SetOf(Offers({QStringLiteral("merge"), QStringLiteral("--format"), QStringLiteral("="), QStringLiteral("mp")})),
        (WordSet{"mp4", "mpg", "mpeg"}));
    WordSet compressFormats = SetOf(convertFormats);
    compressFormats.insert("original");
    EXPECT_EQ(SetOf(Offers({QStringLiteral("compress"), QStringLiteral("--format"), QString()})), compressFormats);
    // The extract page's formats are those this ffmpeg can write.
    const CliResult extractHelp = RunCli({QStringLiteral("extract"), QStringLiteral("--help")});
    const Words audioFormats = WordsAfter(extractHelp.out, QStringLiteral("one of:"));
    ASSERT_FALSE(audioFormats.empty()) << extractHelp.out.toStdString();
    EXPECT_EQ(Offers({QStringLiteral("extract"), QStringLiteral("--format"), QStringLiteral("=")}), audioFormats);

    // Each command's options are those its help names; values by the usage's words.
    for (const std::string& command : commands) {
        if (command == "probe")
            continue;
        const QString name = QString::fromStdString(command);
        EXPECT_EQ(SetOf(Offers({name, QStringLiteral("--")})), OptionsInHelp(name)) << command;
    }
    EXPECT_EQ(Offers({QStringLiteral("probe"), QStringLiteral("--")}), Words{"--verbose"});
    EXPECT_EQ(Offers({QStringLiteral("convert"), QStringLiteral("--size"), QString()}), Words{"auto"});
    EXPECT_EQ(Offers({QStringLiteral("compress"), QStringLiteral("--size"), QString()}), Words{"original"});
    EXPECT_EQ(Offers({QStringLiteral("rotate"), QStringLiteral("--rotate"), QString()}),
              (Words{"0", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_TRUE(Offers({QStringLiteral("split"), QStringLiteral("--start"), QString()}).empty());

    // With bash-completion loaded, as on a desktop.
    ASSERT_TRUE(QFile::exists(kBashCompletion)) << "bash-completion is not installed (scripts/install-deps)";
    EXPECT_EQ(OffersWithBashCompletion(QStringLiteral("con"), {QStringLiteral("con")}), (Words{"convert"}));
    EXPECT_EQ(SetOf(OffersWithBashCompletion(
                  QStringLiteral("convert --format=mp"),
                  {QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("="), QStringLiteral("mp")})),
              (WordSet{"mp4", "mpg", "mpeg"}));
}

TEST(CliCompletion, OffersFilesForInputsAndFoldersForTheOutputFolder)
{
    QTemporaryDir work;
    ASSERT_TRUE(QDir(work.path()).mkdir(QStringLiteral("clips")));
    for (const char* name : {"clip one.mp4", "clips/inner.mkv", "music.mp3"}) {
        QFile file(work.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString base = work.path() + QLatin1Char('/');
    const std::string path = base.toStdString();

    EXPECT_EQ(SetOf(Offers({QStringLiteral("convert"), base + QStringLiteral("cl")})),
              (WordSet{path + "clip one.mp4", path + "clips"}));
    EXPECT_EQ(Offers({QStringLiteral("music"), QStringLiteral("--music"), base + QStringLiteral("mu")}),
              Words{path + "music.mp3"});
    EXPECT_EQ(Offers({QStringLiteral("convert"), QStringLiteral("--output-dir"), base}), Words{path + "clips"});
    // After a value, inputs again.
    EXPECT_EQ(Offers({QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("mkv"),
                      base + QStringLiteral("mu")}),
              Words{path + "music.mp3"});

    EXPECT_EQ(OffersWithBashCompletion(QStringLiteral("convert --output-dir ") + base,
                                       {QStringLiteral("convert"), QStringLiteral("--output-dir"), base}),
              Words{path + "clips"});
}

// The options the completion offers are the ones each command's parser takes: a flag ends
// where it stands (`--flag --help` shows the help), an option with a value takes the next
// argument (`--option --help` takes "--help" as its value, so no help).
TEST(CliCompletion, ListedOptionsAreTheOnesTheParserTakes)
{
    const CliResult commands = RunCli({QStringLiteral("--list-commands")});
    ASSERT_EQ(commands.exitCode, 0);
    for (const QString& command : commands.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (command == QLatin1String("probe"))
            continue;  // reads its own arguments: no --help
        const CliResult options = RunCli({QStringLiteral("--list-options"), command});
        ASSERT_EQ(options.exitCode, 0);
        for (const QString& line : options.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList parts = line.split(QLatin1Char(' '));
            const QString& option = parts.front();
            if (option == QLatin1String("--help"))
                continue;
            if (parts.size() == 1) {
                EXPECT_EQ(RunCli({command, option, QStringLiteral("--help")}).exitCode, 0) << line.toStdString();
            } else {
                EXPECT_EQ(RunCli({command, option, QStringLiteral("1"), QStringLiteral("--help")}).exitCode, 0)
                    << command.toStdString() << " " << line.toStdString();
                EXPECT_EQ(RunCli({command, option, QStringLiteral("--help")}).exitCode, 2)
                    << command.toStdString() << " " << line.toStdString();
            }
        }
    }
    EXPECT_EQ(RunCli({QStringLiteral("--list-options"), QStringLiteral("nothing")}).exitCode, 2);
}

}  // namespace
}  // namespace tolvex::test
