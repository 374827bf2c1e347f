#include "media/OutputContainer.h"

#include "media/MediaProbe.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <utility>

namespace tolvex {

bool MuxerKnowsExtension(const std::string& extension)
{
    if (extension.empty())
        return false;
    const std::string name = "file." + extension;
    return av_guess_format(nullptr, name.c_str(), nullptr) != nullptr;
}

std::string ExtensionForDemuxer(const std::string& demuxerName)
{
    // The first word of a demuxer's name list decides ("mov,mp4,m4a,3gp,3g2,mj2").
    const std::string first = demuxerName.substr(0, demuxerName.find(','));
    static const std::pair<const char*, const char*> kExtensions[] = {
        {"mov", "mp4"},  {"matroska", "mkv"}, {"avi", "avi"}, {"flv", "flv"}, {"asf", "wmv"}, {"mpegts", "ts"},
        {"mpeg", "mpg"}, {"ogg", "ogv"},      {"mxf", "mxf"}, {"rm", "rm"},   {"gif", "gif"},
    };
    for (const auto& [demuxer, extension] : kExtensions) {
        if (first == demuxer)
            return extension;
    }
    return "mkv";
}

std::string OwnOutputExtension(const std::string& fileName, const std::string& path)
{
    const auto dot = fileName.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
    if (MuxerKnowsExtension(extension))
        return extension;
    return ExtensionForDemuxer(ProbeContainerFormat(path));
}

}  // namespace tolvex
