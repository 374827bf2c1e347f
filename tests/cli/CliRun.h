#pragma once

// Runs the built tolvex-cli with an argument vector and collects what it printed.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tolvex::test {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

CliResult RunCli(const QStringList& args, const QString& workingFolder = QString());

}  // namespace tolvex::test
