// tolvex-cli music: the music page: mix a background sound file under each video's sound.

#include "cli/CliOptions.h"
#include "cli/PageCommands.h"
#include "cli/PageRun.h"

#include <QDir>
#include <QFileInfo>

namespace tolvex::cli {

namespace {

constexpr const char* kName = "music";
constexpr const char* kUsage = "--music FILE [--loop] [--replace] [--video-volume DB] [--music-volume DB] FILE...";
constexpr const char* kDetails =
    "Lays a background sound under each video's own sound.\n"
    "  --music FILE         the background sound\n"
    "  --loop               repeat the music for the whole video\n"
    "  --replace            the music replaces the video's own sound\n"
    "  --video-volume DB    gain of the video's own sound (default 0)\n"
    "  --music-volume DB    gain of the music (default 0)\n";

}  // namespace

int RunMusicCommand(const QStringList& args)
{
    CliOptions options(
        kName, {{"music", true}, {"loop", false}, {"replace", false}, {"video-volume", true}, {"music-volume", true}});
    QStringList files;
    if (const auto status = BeginCommand(options, args, kUsage, kDetails, 1, files))
        return *status;

    MusicSettings settings;
    const QFileInfo music(options.value("music"));
    if (!options.has("music")) {
        options.setError(QStringLiteral("--music FILE is required"));
        return UsageError(options);
    }
    if (!music.isFile() || !music.isReadable()) {
        options.setError(QStringLiteral("cannot read music file: %1").arg(options.value("music")));
        return UsageError(options);
    }
    settings.musicPath = QDir::cleanPath(music.absoluteFilePath());
    settings.loop = options.has("loop");
    settings.replace = options.has("replace");
    if (!options.intValue("video-volume", -100, 100, 0, settings.videoVolumeDb) ||
        !options.intValue("music-volume", -100, 100, 0, settings.musicVolumeDb))
        return UsageError(options);

    return RunPageOnFiles(options, PageKind::Music, files,
                          [&](CliSession& session) { session.source().setMusic(settings); });
}

}  // namespace tolvex::cli
