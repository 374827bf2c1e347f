#include "tasks/ClipRecords.h"

#include "app/Helpers.h"
#include "tasks/CommandTokens.h"

namespace tolvex {

namespace {

std::string FileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string SplitClipOutputName(const std::string& sourcePath, const QTime& time)
{
    const std::string name = FileNameOf(sourcePath);
    return StampedName(name, time, ExtensionOf(name));
}

std::string GifClipOutputName(const std::string& sourcePath, const QTime& time)
{
    return StampedName(FileNameOf(sourcePath), time, "gif");
}

std::string ClipShownStart(const SplitClip& clip)
{
    if (clip.lossless && clip.keyFrameSeconds >= 0.0)
        return FormatClock(static_cast<int32_t>(clip.keyFrameSeconds));
    return clip.startText;
}

ClipHandOverList<SplitClip>& SplitClipList()
{
    static ClipHandOverList<SplitClip> list;
    return list;
}

ClipHandOverList<GifClip>& GifClipList()
{
    static ClipHandOverList<GifClip> list;
    return list;
}

}  // namespace tolvex
