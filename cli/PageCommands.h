#pragma once

// The page sub-commands of tolvex-cli: one per page of the program, each running that
// page's jobs through the same factory, queues, workers and reader as the program.
// Each takes the arguments after its name and returns the exit status (0 only when every
// job completed).

#include <QStringList>

namespace tolvex::cli {

int RunConvertCommand(const QStringList& args);
int RunCompressCommand(const QStringList& args);
int RunRotateCommand(const QStringList& args);
int RunExtractCommand(const QStringList& args);
int RunMuteCommand(const QStringList& args);
int RunMusicCommand(const QStringList& args);
int RunSplitCommand(const QStringList& args);
int RunGifCommand(const QStringList& args);
int RunMergeCommand(const QStringList& args);

}  // namespace tolvex::cli
