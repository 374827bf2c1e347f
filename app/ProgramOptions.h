#pragma once

// The desktop program's command line:
//   tolvex-video-converter [--lang zh|en] [--load-and-quit] [--] [FILE|URL]...
//   tolvex-video-converter --help | --version
// --lang chooses the language of the windows over the desktop's locale. --load-and-quit
// builds the main window from its skin (translations included) and ends at once, with
// exit code 0 when that worked: a check that an installed copy finds its files. The files
// (paths, or file:// URLs as file managers pass them) are added to the convert page; when
// the program already runs, they are handed to the running window.

#include <QString>
#include <QStringList>

namespace tolvex {

struct ProgramOptions {
    QString language;  // "zh", "en", or empty: the desktop's locale decides
    bool loadAndQuit = false;
    bool help = false;     // --help: print ProgramHelp() and end
    bool version = false;  // --version: print ProgramVersionLine() and end
    QStringList files;     // absolute, clean paths, in the order given
    QString error;         // set when the command line cannot be used
};

// `arguments` without the program name; relative paths resolve against `workingFolder`.
ProgramOptions ParseProgramOptions(const QStringList& arguments, const QString& workingFolder);

// The usage line printed with an error.
QString ProgramUsage();
// The usage line and what each option does, for --help.
QString ProgramHelp();
// "tolvex-video-converter <version>", for --version.
QString ProgramVersionLine();

}  // namespace tolvex
