#pragma once

// Small pieces shared by the command builders: output names and paths, and the option
// texts of the described formats turned into command tokens.

#include "tasks/CommandLine.h"

#include <QString>
#include <QTime>

#include <string>

namespace tolvex {

// Six digits of the local clock time, as strftime's "%H%M%S".
std::string ClockStamp(const QTime& time);
// The text before the last "." (the whole text when there is none).
std::string StemOf(const std::string& fileName);
// The text after the last "." (empty when there is none).
std::string ExtensionOf(const std::string& fileName);
// stem "-" HHMMSS "." extension; a long stem is cut (at a character boundary) so that the
// name fits in a file name with room left for the "-n" of OutputReservation.
std::string StampedName(const std::string& inputFileName, const QTime& time, const std::string& extension);
// The output folder and a file name, one separator between them.
std::string OutputPath(const QString& folder, const std::string& fileName);
// Appends an option text of a described format, which stands between two blanks of the
// format: every word becomes a token and every empty word between two blanks a blank spot,
// so the rendered line keeps the described blanks exactly.
void AppendOptionText(CommandLine& command, const std::string& optionText);
// "%ddB" with the gain; used by the volume filters.
std::string DecibelText(int db);

}  // namespace tolvex
