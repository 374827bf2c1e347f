// tolvex-cli rotate: the rotate page, with the index of its rotate box.

#include "cli/CliOptions.h"
#include "cli/CliSession.h"
#include "cli/PageCommands.h"

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

    CliSession session(kName, options.outputFolder());
    std::vector<TaskId> ids;
    for (const QString& file : files) {
        const TaskId id = session.addFile(file);
        session.source().setRotate(id, settings);
        ids.push_back(id);
    }
    return options.printCommand() ? session.printCommands(PageKind::Rotate, ids) : session.run(PageKind::Rotate, ids);
}

}  // namespace tolvex::cli
