// tolvex-cli mute: the mute page: silence the sound, or change its volume in decibels.

#include "cli/CliOptions.h"
#include "cli/PageCommands.h"
#include "cli/PageRun.h"

namespace tolvex::cli {

namespace {

constexpr const char* kName = "mute";
constexpr const char* kUsage = "(--mute | --volume DB) FILE...";
constexpr const char* kDetails = "Silences the sound of each FILE (--mute) or changes its volume (--volume, dB).\n";

}  // namespace

int RunMuteCommand(const QStringList& args)
{
    CliOptions options(kName, {{"mute", false}, {"volume", true}});
    QStringList files;
    if (const auto status = BeginCommand(options, args, kUsage, kDetails, 1, files))
        return *status;
    if (options.has("mute") == options.has("volume")) {
        options.setError(QStringLiteral("give either --mute or --volume DB"));
        return UsageError(options);
    }
    MuteSettings settings;
    settings.mute = options.has("mute");
    if (!options.intValue("volume", -100, 100, 0, settings.volumeDb))
        return UsageError(options);

    return RunPageOnFiles(options, PageKind::Mute, files,
                          [&](CliSession& session) { session.source().setMute(settings); });
}

}  // namespace tolvex::cli
