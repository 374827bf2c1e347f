// tolvex-cli split: the split page with one clip, as the split dialog would hand it over:
// a time range and a crop rectangle (the whole frame when none is given).

#include "app/Helpers.h"
#include "cli/ClipRange.h"
#include "cli/CropOption.h"
#include "cli/PageCommands.h"
#include "cli/PageRun.h"
#include "tasks/MediaItemProbe.h"

namespace tolvex::cli {

namespace {

constexpr const char* kName = "split";
constexpr const char* kUsage = "--start T --end T [--crop W:H:X:Y | --lossless] FILE";
constexpr const char* kDetails =
    "Cuts the range from --start to --end (h:m:s) out of FILE, optionally cropped.\n"
    "  --crop W:H:X:Y   crop rectangle in pixels of the upright picture, as players show it\n"
    "                   (a phone video turned upright; default: the whole frame)\n"
    "  --lossless       copy the tracks instead of encoding them again: fast and untouched,\n"
    "                   but the clip starts at the key frame at or before --start\n";

}  // namespace

int RunSplitCommand(const QStringList& args)
{
    CliOptions options(kName, {{"start", true}, {"end", true}, {"crop", true}, {"lossless", false}});
    QStringList files;
    if (const auto status = BeginCommand(options, args, kUsage, kDetails, 1, files))
        return *status;
    if (files.size() != 1) {
        options.setError(QStringLiteral("split takes one input file"));
        return UsageError(options);
    }
    if (options.has("lossless") && options.has("crop")) {
        options.setError(
            QStringLiteral("--lossless copies the picture as it is and cannot crop it: "
                           "leave out --crop or --lossless"));
        return UsageError(options);
    }
    const QString& file = files.front();
    MediaItem source;
    source.fullPath = file;
    ProbeMediaItem(source);
    ClipRange range;
    if (!ReadClipRange(options, source.duration, range))
        return UsageError(options);

    // The rectangle is in the upright picture, the one ffmpeg crops (a phone video's as it
    // is shown), as the split dialog gives it.
    const int width = source.uprightWidth();
    const int height = source.uprightHeight();
    SplitClip clip;
    clip.sourcePath = ToNarrowAnsi(file);
    clip.outputName = SplitClipOutputName(clip.sourcePath, QTime::currentTime());
    clip.startText = range.startText;
    clip.endText = range.endText;
    clip.cropWidth = width;
    clip.cropHeight = height;
    if (options.has("crop")) {
        const std::optional<CropRect> crop = ParseCropOption(options.value("crop"), width, height);
        if (!crop) {
            options.setError(QStringLiteral("--crop needs W:H:X:Y inside the %1x%2 upright frame, not '%3'")
                                 .arg(width)
                                 .arg(height)
                                 .arg(options.value("crop")));
            return UsageError(options);
        }
        clip.cropEnabled = 1;
        clip.cropWidth = crop->width;
        clip.cropHeight = crop->height;
        clip.cropX = crop->x;
        clip.cropY = crop->y;
    } else if (width <= 0 || height <= 0) {
        options.setError(QStringLiteral("no picture to cut in %1").arg(file));
        return UsageError(options);
    }

    clip.lossless = options.has("lossless") ? 1 : 0;
    return RunPageOnClip(options, PageKind::Split, [&](CliSession& session) { return session.addSplitClip(clip); });
}

}  // namespace tolvex::cli
