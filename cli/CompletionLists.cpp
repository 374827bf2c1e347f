#include "cli/CompletionLists.h"

#include "media/EncoderSupport.h"
#include "media/ResolutionTable.h"

#include <QByteArray>

#include <algorithm>
#include <cstdio>

namespace tolvex::cli {

namespace {

// The options every page command takes besides its own (CliOptions adds them to its rules);
// probe reads its arguments itself and takes only --verbose.
constexpr const char* kCommonOptionsUsage =
    "[--output-dir DIR] [--print-command] [--flat] [--json] [--verbose] [--help]";
constexpr const char* kOwnArgumentsCommand = "probe";

std::vector<std::string> Words(const char* text)
{
    std::vector<std::string> words;
    std::string word;
    for (const char* c = text;; ++c) {
        if (*c == ' ' || *c == '\0') {
            if (!word.empty())
                words.push_back(word);
            word.clear();
            if (*c == '\0')
                return words;
        } else {
            word += *c;
        }
    }
}

bool IsOpening(char c)
{
    return c == '[' || c == '(';
}

bool IsClosing(char c)
{
    return c == ']' || c == ')';
}

const CliCommand* Find(std::span<const CliCommand> commands, const QString& name)
{
    for (const CliCommand& command : commands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

// The output formats of a page, as its --format checks them.
std::vector<std::string> FormatsOf(const QString& command)
{
    if (command == QLatin1String("convert") || command == QLatin1String("merge"))
        return ResolutionTable::convertFormats();
    if (command == QLatin1String("compress")) {
        std::vector<std::string> formats{"original"};
        const auto& convert = ResolutionTable::convertFormats();
        formats.insert(formats.end(), convert.begin(), convert.end());
        return formats;
    }
    if (command == QLatin1String("extract"))
        return ExtractAudioFormats();
    return {};
}

void PrintLines(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());
}

}  // namespace

std::vector<UsageOption> OptionsOfUsage(const char* usage)
{
    std::vector<UsageOption> options;
    const std::vector<std::string> words = Words(usage);
    for (size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        while (!word.empty() && IsOpening(word.front()))
            word.erase(0, 1);
        if (word.rfind("--", 0) != 0)
            continue;
        // "--name]" closes its bracket: a flag. Otherwise the next word is the value, unless
        // it is another option, an alternative ("|") or opens a bracket.
        bool flag = IsClosing(word.back());
        while (!word.empty() && IsClosing(word.back()))
            word.pop_back();
        std::string value;
        if (!flag) {
            const bool last = i + 1 == words.size();
            const std::string next = last ? std::string() : words[i + 1];
            flag = last || next == "|" || next.rfind("--", 0) == 0 || IsOpening(next.front());
            if (!flag) {
                value = next;
                while (!value.empty() && IsClosing(value.back()))
                    value.pop_back();
                ++i;
            }
        }
        // "--vb|--ab" names several options sharing the value.
        size_t start = 0;
        while (start < word.size()) {
            size_t end = word.find('|', start);
            if (end == std::string::npos)
                end = word.size();
            const std::string name = word.substr(start, end - start);
            if (name.rfind("--", 0) == 0 && name.size() > 2)
                options.push_back({name, value});
            start = end + 1;
        }
    }
    return options;
}

std::optional<int> RunListOption(const QString& option, const QStringList& args, std::span<const CliCommand> commands)
{
    if (option == QLatin1String("--list-commands")) {
        for (const CliCommand& command : commands)
            std::printf("%s\n", command.name);
        return 0;
    }
    if (option != QLatin1String("--list-options") && option != QLatin1String("--list-formats"))
        return std::nullopt;

    const CliCommand* command = args.size() == 1 ? Find(commands, args.front()) : nullptr;
    if (!command) {
        std::fprintf(stderr, "usage: tolvex-cli %s COMMAND\n", option.toLocal8Bit().constData());
        return 2;
    }
    if (option == QLatin1String("--list-formats")) {
        PrintLines(FormatsOf(args.front()));
        return 0;
    }
    std::vector<UsageOption> options = OptionsOfUsage(command->usage);
    if (args.front() != QLatin1String(kOwnArgumentsCommand)) {
        for (const UsageOption& common : OptionsOfUsage(kCommonOptionsUsage)) {
            if (std::find(options.begin(), options.end(), common) == options.end())
                options.push_back(common);
        }
    }
    for (const UsageOption& o : options)
        std::printf("%s\n", (o.value.empty() ? o.name : o.name + " " + o.value).c_str());
    return 0;
}

}  // namespace tolvex::cli
