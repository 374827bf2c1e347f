#include "tasks/CommandTokens.h"

#include "app/Helpers.h"

#include <cstdio>

namespace tolvex {

std::string ClockStamp(const QTime& time)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d", time.hour(), time.minute(), time.second());
    return text;
}

std::string StemOf(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

std::string ExtensionOf(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
}

std::string StampedName(const std::string& inputFileName, const QTime& time, const std::string& extension)
{
    return FittedName(StemOf(inputFileName), "-" + ClockStamp(time) + "." + extension,
                      kMaxFileNameBytes - kNumberingRoom);
}

std::string OutputPath(const QString& folder, const std::string& fileName)
{
    std::string path = ToNarrowAnsi(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    return path + fileName;
}

void AppendOptionText(CommandLine& command, const std::string& optionText)
{
    size_t start = 0;
    while (true) {
        const auto blank = optionText.find(' ', start);
        const std::string word =
            optionText.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
        if (word.empty())
            command.addBlank();
        else
            command.add(word);
        if (blank == std::string::npos)
            break;
        start = blank + 1;
    }
}

std::string DecibelText(int db)
{
    return std::to_string(db) + "dB";
}

}  // namespace tolvex
