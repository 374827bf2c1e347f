// tolvex-cli merge: the merge page with every FILE selected, in order: one ffmpeg run that
// fits each input into one frame and joins them.

#include "app/Helpers.h"
#include "cli/CliOptions.h"
#include "cli/PageCommands.h"
#include "cli/PageRun.h"
#include "media/ResolutionTable.h"

#include <algorithm>

namespace tolvex::cli {

namespace {

constexpr const char* kName = "merge";
constexpr const char* kUsage = "[--format EXT] [--size auto|WxH | --lossless] FILE FILE...";
constexpr const char* kDetails =
    "Joins the FILEs, in order, into one video.\n"
    "  --format EXT   output format (default mp4)\n"
    "  --size         auto (the first file's frame, default) or WxH\n"
    "  --lossless     copy the tracks instead of encoding them again, with one chapter per\n"
    "                 file; refused when the files' tracks are not coded alike\n";

}  // namespace

int RunMergeCommand(const QStringList& args)
{
    CliOptions options(kName, {{"format", true}, {"size", true}, {"lossless", false}});
    QStringList files;
    if (const auto status = BeginCommand(options, args, kUsage, kDetails, 2, files))
        return *status;

    MergeSettings settings;
    settings.format = options.value("format", QStringLiteral("mp4"));
    const auto& formats = ResolutionTable::convertFormats();
    if (std::find(formats.begin(), formats.end(), ToNarrowAnsi(settings.format)) == formats.end()) {
        options.setError(QStringLiteral("unknown output format '%1'").arg(settings.format));
        return UsageError(options);
    }
    if (!options.frameSize("auto", QStringLiteral("自动"), settings.ratioText))
        return UsageError(options);

    if (options.has("lossless") && options.has("size")) {
        options.setError(QStringLiteral("--lossless keeps the files' own frame: leave out --size or --lossless"));
        return UsageError(options);
    }
    return RunMergeOnFiles(options, files, settings, options.has("lossless"));
}

}  // namespace tolvex::cli
