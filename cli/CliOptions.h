#pragma once

// Option parsing shared by the page sub-commands: "--name value", "--name=value" and
// flags, the common options (--output-dir, --print-command, --flat, --json, --help), and
// the input files (made absolute and checked readable; folders walked). Errors are texts for standard error.

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tolvex::cli {

struct OptionRule {
    const char* name;  // without the leading "--"
    bool takesValue;
};

class CliOptions {
public:
    // `command` names the sub-command in messages; `rules` lists its own options.
    CliOptions(const char* command, std::vector<OptionRule> rules);

    // False with error() set when an option is unknown or lacks its value.
    bool parse(const QStringList& args);

    bool has(const char* name) const { return m_values.count(name) != 0; }
    QString value(const char* name, const QString& fallback = {}) const;
    const QStringList& positional() const { return m_positional; }

    bool help() const { return has("help"); }
    bool printCommand() const { return has("print-command"); }
    // --output-dir made absolute, else the program's output folder.
    QString outputFolder() const;

    bool flat() const { return has("flat"); }
    bool json() const { return has("json"); }

    // Every positional argument as an absolute path of a readable file, a folder standing
    // for the video files found in it and its subfolders (FolderWalk); false with error()
    // naming the first file that is not readable.
    bool inputFiles(QStringList& files);
    // The folder argument `file` was found in; empty for a file named on the command line.
    QString scanRootOf(const QString& file) const;
    // An integer option within [low, high]; false with error() set when malformed.
    bool intValue(const char* name, int low, int high, int fallback, int& out);
    // --size: `keyword` (also when it is not given) stands for the page's own choice, shown as
    // `keywordText`; else a frame size WxH. False with error() set for anything else.
    bool frameSize(const char* keyword, const QString& keywordText, QString& out);

    const char* command() const;
    const QString& error() const { return m_error; }
    void setError(const QString& text) { m_error = text; }
    // "tolvex-cli <command>: <error>" on standard error.
    void printError() const;

private:
    const OptionRule* find(const QString& name) const;

    const char* m_command;
    std::vector<OptionRule> m_rules;
    std::map<std::string, QString> m_values;
    QStringList m_positional;
    std::map<QString, QString> m_scanRoots;
    QString m_error;
};

// The start of every page sub-command: parses, answers --help, and reads the input files
// (at least `minFiles`). Returns the exit status when the command ends here.
std::optional<int> BeginCommand(CliOptions& options, const QStringList& args, const char* usage, const char* details,
                                int minFiles, QStringList& files);
// Prints the error and returns the status of a bad command line.
int UsageError(const CliOptions& options);

// Prints "usage: tolvex-cli <command> <usage>" and the common options on standard output.
void PrintUsage(const char* command, const char* usage, const char* details);

}  // namespace tolvex::cli
