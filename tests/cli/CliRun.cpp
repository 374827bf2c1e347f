#include "CliRun.h"

#include <QProcess>

namespace tolvex::test {

CliResult RunCli(const QStringList& args, const QString& workingFolder)
{
    CliResult result;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(QStringLiteral(TOLVEX_CLI_PATH), args);
    if (!process.waitForStarted(10000) || !process.waitForFinished(240000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

}  // namespace tolvex::test
