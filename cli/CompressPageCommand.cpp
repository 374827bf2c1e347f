// tolvex-cli compress: the compress page. The video bit rate aims at the input size reduced
// by the strength percentage over the probed duration; audio is always AAC-rate 128k stereo.

#include "app/Helpers.h"
#include "cli/CliOptions.h"
#include "cli/PageCommands.h"
#include "cli/PageRun.h"
#include "media/ResolutionTable.h"

#include <algorithm>

namespace tolvex::cli {

namespace {

constexpr const char* kName = "compress";
constexpr const char* kUsage = "[--format original|EXT] [--size original|WxH] [--strength 0-100] FILE...";
constexpr const char* kDetails =
    "Makes each FILE smaller by a lower video bit rate, optionally a smaller frame.\n"
    "  --format     original (the input's own extension, default) or an output format\n"
    "  --size       original (default) or WxH\n"
    "  --strength   how much smaller, in percent (default 50; 100 counts as 99)\n";

}  // namespace

int RunCompressCommand(const QStringList& args)
{
    CliOptions options(kName, {{"format", true}, {"size", true}, {"strength", true}});
    QStringList files;
    if (const auto status = BeginCommand(options, args, kUsage, kDetails, 1, files))
        return *status;

    CompressSettings settings;
    const QString format = options.value("format", QStringLiteral("original"));
    const auto& formats = ResolutionTable::convertFormats();
    if (format == QLatin1String("original")) {
        settings.formatText = QStringLiteral("原格式");
    } else if (std::find(formats.begin(), formats.end(), ToNarrowAnsi(format)) != formats.end()) {
        settings.formatText = format;
    } else {
        options.setError(QStringLiteral("unknown output format '%1'").arg(format));
        return UsageError(options);
    }

    if (!options.frameSize("original", QStringLiteral("原分辨率"), settings.ratioText) ||
        !options.intValue("strength", 0, 100, 50, settings.strength))
        return UsageError(options);

    return RunPageOnFiles(options, PageKind::Compress, files, {},
                          [&](CliSession& session, TaskId id) { session.source().setCompress(id, settings); });
}

}  // namespace tolvex::cli
