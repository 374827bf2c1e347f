#pragma once

// The sub-commands of tolvex-cli. Each takes the arguments after its name and returns the
// process exit status. main.cpp lists them in its dispatch table.

#include <QStringList>

namespace tolvex::cli {

struct CliCommand {
    const char* name;
    const char* usage;    // arguments, for --help
    const char* summary;  // one line, for --help
    int (*run)(const QStringList& args);
};

// probe FILE...: one JSON object per file on standard output.
int RunProbeCommand(const QStringList& args);

}  // namespace tolvex::cli
