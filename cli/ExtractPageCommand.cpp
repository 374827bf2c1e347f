// tolvex-cli extract: the extract page; the audio format is one this ffmpeg can write.

#include "app/Helpers.h"
#include "cli/CliOptions.h"
#include "cli/PageCommands.h"
#include "cli/PageRun.h"
#include "media/EncoderSupport.h"

#include <algorithm>

namespace tolvex::cli {

namespace {

constexpr const char* kName = "extract";
constexpr const char* kUsage = "--format EXT FILE...";

std::string Details()
{
    std::string text = "Writes the sound of each FILE as an audio file.\n  --format   one of:";
    for (const auto& f : ExtractAudioFormats())
        text += " " + f;
    return text + "\n";
}

}  // namespace

int RunExtractCommand(const QStringList& args)
{
    CliOptions options(kName, {{"format", true}});
    QStringList files;
    if (const auto status = BeginCommand(options, args, kUsage, Details().c_str(), 1, files))
        return *status;
    const auto formats = ExtractAudioFormats();
    const std::string format = ToNarrowAnsi(options.value("format"));
    if (!options.has("format")) {
        options.setError(QStringLiteral("--format is required"));
        return UsageError(options);
    }
    if (std::find(formats.begin(), formats.end(), format) == formats.end()) {
        options.setError(QStringLiteral("audio format '%1' is not offered").arg(options.value("format")));
        return UsageError(options);
    }

    return RunPageOnFiles(options, PageKind::Extract, files,
                          [&](CliSession& session) { session.source().setExtract({ToWideAnsi(format)}); });
}

}  // namespace tolvex::cli
