#pragma once

// The lists tolvex-cli's shell completion asks the program for, so that it offers what the
// installed program takes (hidden options, not in --help):
//   tolvex-cli --list-commands          the sub-commands, one a line
//   tolvex-cli --list-options COMMAND   the command's options as its usage shows them, one a
//                                       line: "--name" for a flag, "--name VALUE" for an
//                                       option with a value (EXT, FILE, DIR, auto|WxH, 0-7, ...)
//   tolvex-cli --list-formats COMMAND   the formats the command's --format takes, one a line

#include "cli/CliCommands.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tolvex::cli {

struct UsageOption {
    std::string name;   // with its leading "--"
    std::string value;  // the value's placeholder; empty for a flag
    bool operator==(const UsageOption&) const = default;
};

// The options a usage text names, in order: "[--size auto|WxH]" is {"--size", "auto|WxH"},
// "[--params]" a flag, "[--vb|--ab TEXT]" two options with the value TEXT, "(--mute | --volume
// DB)" the flag --mute and --volume with DB, "--start T" --start with T.
std::vector<UsageOption> OptionsOfUsage(const char* usage);

// Answers `option` (the first argument) when it is one of the list options above, with the
// exit status; nothing for any other argument.
std::optional<int> RunListOption(const QString& option, const QStringList& args, std::span<const CliCommand> commands);

}  // namespace tolvex::cli
