#include "media/ResolutionTable.h"

#include <map>

namespace tolvex {

namespace {

const std::map<std::string, std::vector<ResolutionOption>>& Table()
{
    static const std::map<std::string, std::vector<ResolutionOption>> table = [] {
        const std::vector<ResolutionOption> large = {{"自动", true},      {"3840x2160", false}, {"1920x1080", false},
                                                     {"1280x720", false}, {"640x480", false},   {"480x360", false},
                                                     {"320x240", false}};
        const std::vector<ResolutionOption> mobile = {
            {"1408x1152", false}, {"704x576", false}, {"352x288", true}, {"176x144", false}, {"128x96", false}};
        const std::vector<ResolutionOption> common = {{"自动", true},     {"1920x1080", false}, {"1280x720", false},
                                                      {"640x480", false}, {"480x360", false},   {"320x240", false}};
        std::map<std::string, std::vector<ResolutionOption>> t;
        for (const char* f : {"mp4", "mov", "mkv"})
            t[f] = large;
        for (const char* f : {"3gp", "3g2"})
            t[f] = mobile;
        for (const char* f : {"flv", "wmv", "avi", "m4v", "f4v", "ts", "mts", "rm", "rmvb", "m3u8", "webm", "mpg",
                              "mpeg", "asf", "dat", "vob", "ogv", "divx", "mxf"})
            t[f] = common;
        return t;
    }();
    return table;
}

}  // namespace

const std::vector<std::string>& ResolutionTable::convertFormats()
{
    static const std::vector<std::string> formats = {"mp4", "flv", "wmv", "avi",  "mov",  "mkv",  "m4v",  "f4v",
                                                     "ts",  "mts", "rm",  "rmvb", "m3u8", "webm", "mpg",  "mpeg",
                                                     "asf", "dat", "3gp", "3g2",  "vob",  "ogv",  "divx", "mxf"};
    return formats;
}

const std::vector<ResolutionOption>& ResolutionTable::options(const std::string& format)
{
    static const std::vector<ResolutionOption> none;
    const auto& t = Table();
    const auto it = t.find(format);
    return it == t.end() ? none : it->second;
}

std::string ResolutionTable::defaultOption(const std::string& format)
{
    for (const auto& o : options(format)) {
        if (o.isDefault)
            return o.text;
    }
    return {};
}

bool ResolutionTable::offers(const std::string& format, const std::string& text)
{
    for (const auto& o : options(format)) {
        if (o.text == text)
            return true;
    }
    return false;
}

}  // namespace tolvex
