// tolvex-cli rotate: the rotate page, with the index of its rotate box.

#include "cli/CliOptions.h"
#include "cli/PageCommands.h"
#include "cli/PageRun.h"

namespace tolvex::cli {

namespace {

constexpr const char* kName = "rotate";
constexpr const char* kUsage = "--rotate 0-7 FILE...";
constexpr const char* kDetails =
    "Rotates or mirrors each FILE.\n"
    "  --rotate   0 90° clockwise (default), 1 180°, 2 270° clockwise, 3 90° counter-clockwise,\n"
    "             4 180°, 5 270° counter-clockwise, 6 mirror left-right, 7 mirror top-bottom\n";

}  // namespace

int RunRotateCommand(const QStringList& args)
{
    CliOptions options(kName, {{"rotate", true}});
    QStringList files;
    if (const auto status = BeginCommand(options, args, kUsage, kDetails, 1, files))
        return *status;
    RotateSettings settings;
    if (!options.intValue("rotate", 0, 7, 0, settings.rotateIndex))
        return UsageError(options);

    return RunPageOnFiles(options, PageKind::Rotate, files, {},
                          [&](CliSession& session, TaskId id) { session.source().setRotate(id, settings); });
}

}  // namespace tolvex::cli
