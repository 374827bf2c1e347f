// tolvex-cli gif: the gif page with one clip: a time range of FILE as an animated GIF.

#include "app/Helpers.h"
#include "cli/ClipRange.h"
#include "cli/PageCommands.h"
#include "cli/PageRun.h"
#include "media/MediaProbe.h"

namespace tolvex::cli {

namespace {

constexpr const char* kName = "gif";
constexpr const char* kUsage = "--start T --end T [--quality normal|high] FILE";
constexpr const char* kDetails =
    "Makes an animated GIF of the range from --start to --end (h:m:s) of FILE.\n"
    "  --quality   normal (default: ffmpeg's fixed palette) or high (the GIF dialog's\n"
    "              \"best picture\": every frame gets a palette of its own colours)\n";

}  // namespace

int RunGifCommand(const QStringList& args)
{
    CliOptions options(kName, {{"start", true}, {"end", true}, {"quality", true}});
    QStringList files;
    if (const auto status = BeginCommand(options, args, kUsage, kDetails, 1, files))
        return *status;
    if (files.size() != 1) {
        options.setError(QStringLiteral("gif takes one input file"));
        return UsageError(options);
    }
    const QString quality = options.value("quality", QStringLiteral("normal"));
    if (quality != QLatin1String("normal") && quality != QLatin1String("high")) {
        options.setError(QStringLiteral("--quality takes normal or high, not '%1'").arg(quality));
        return UsageError(options);
    }
    ClipRange range;
    if (!ReadClipRange(options, ProbeDurationSeconds(ToNarrowAnsi(files.front())), range))
        return UsageError(options);

    GifClip clip;
    clip.sourcePath = ToNarrowAnsi(files.front());
    clip.outputName = GifClipOutputName(clip.sourcePath, QTime::currentTime());
    clip.startText = range.startText;
    clip.endText = range.endText;
    clip.bestPicture = quality == QLatin1String("high");

    return RunPageOnClip(options, PageKind::Gif, [&](CliSession& session) { return session.addGifClip(clip); });
}

}  // namespace tolvex::cli
