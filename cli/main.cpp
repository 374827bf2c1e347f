// tolvex-cli: the headless companion of the desktop program. It runs the same core (media
// probe, task engine, command builders) without a display; each sub-command is one entry
// of the dispatch table below.

#include "app/BuildInfo.h"
#include "app/ConsoleLog.h"
#include "app/Folders.h"
#include "cli/CliCommands.h"
#include "cli/CompletionLists.h"
#include "cli/PageCommands.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <iterator>

#include <signal.h>

namespace {

using tolvex::cli::CliCommand;

const CliCommand kCommands[] = {
    {"probe", "[--verbose] FILE...", "print what the media probe reports about each file (one JSON object per line)",
     &tolvex::cli::RunProbeCommand},
    {"convert", "[--format EXT] [--size auto|WxH] [--params] [--vcodec|--vb|--acodec|--ar|--ab|--ac TEXT] FILE...",
     "convert each file to another format", &tolvex::cli::RunConvertCommand},
    {"compress", "[--format original|EXT] [--size original|WxH] [--strength 0-100] FILE...", "make each file smaller",
     &tolvex::cli::RunCompressCommand},
    {"rotate", "--rotate 0-7 FILE...", "rotate or mirror each file", &tolvex::cli::RunRotateCommand},
    {"extract", "--format EXT FILE...", "write the sound of each file as an audio file",
     &tolvex::cli::RunExtractCommand},
    {"mute", "(--mute | --volume DB) FILE...", "silence each file or change its volume", &tolvex::cli::RunMuteCommand},
    {"music", "--music FILE [--loop] [--replace] [--video-volume DB] [--music-volume DB] FILE...",
     "lay background music under each file", &tolvex::cli::RunMusicCommand},
    {"split", "--start T --end T [--crop W:H:X:Y | --lossless] FILE",
     "cut a time range (optionally cropped, or losslessly) out of a file", &tolvex::cli::RunSplitCommand},
    {"gif", "--start T --end T [--quality normal|high] FILE", "make an animated GIF of a time range",
     &tolvex::cli::RunGifCommand},
    {"merge", "[--format EXT] [--size auto|WxH | --lossless] FILE FILE...",
     "join the files, in order, into one video (or losslessly)", &tolvex::cli::RunMergeCommand},
};

void PrintHelp(FILE* stream)
{
    std::fprintf(stream, "usage: tolvex-cli COMMAND [ARGS...]\n\ncommands:\n");
    for (const CliCommand& command : kCommands)
        std::fprintf(stream, "  %s %s\n      %s\n", command.name, command.usage, command.summary);
    std::fprintf(stream,
                 "\ncommon options of the page commands (see tolvex-cli COMMAND --help):\n"
                 "  --output-dir DIR  --print-command  --verbose  --help\n"
                 "\n  tolvex-cli --help      show this help\n"
                 "  tolvex-cli --version   show the version\n");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Standard output carries the commands' results; diagnostics go to standard error,
    // errors always and the rest only with --verbose.
    tolvex::SetConsoleTarget(tolvex::ConsoleTarget::StandardError);
    tolvex::SetConsoleQuiet(true);

    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        PrintHelp(stderr);
        return 2;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        PrintHelp(stdout);
        return 0;
    }
    if (name == QLatin1String("--version")) {
        std::printf("tolvex-cli %s\n", tolvex::kProgramVersion);
        return 0;
    }
    if (const auto status = tolvex::cli::RunListOption(name, args, kCommands))
        return *status;
    // A reader of standard output that went away shows as EPIPE on the write, not as a
    // signal that ends the process before its jobs are cleaned up; while jobs run, the
    // run's watch turns SIGPIPE into a stop.
    ::signal(SIGPIPE, SIG_IGN);
    for (const CliCommand& command : kCommands) {
        if (name == QLatin1String(command.name)) {
            tolvex::SweepStaleTempFolders();
            const int status = command.run(args);
            // Only this process's temp files: a window or another tolvex-cli beside it
            // keeps its own.
            tolvex::RemoveProcessTempFolder();
            return status;
        }
    }
    std::fprintf(stderr, "tolvex-cli: unknown command '%s'\n", name.toLocal8Bit().constData());
    PrintHelp(stderr);
    return 2;
}
