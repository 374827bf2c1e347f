#pragma once

// The program's diagnostic console lines. Everything that the program writes "to the
// console" (queue sizes, ffmpeg output, probe errors, the player's and the import's
// notes) goes through these functions, so a front end can choose where the lines go: the
// desktop program keeps standard output, tolvex-cli sends them to standard error (only
// errors, unless it runs verbose) to keep its own output clean, and a benchmark can
// silence them.
// Thread use: callable from any thread; one call writes its whole line at once.

#include <string_view>

namespace tolvex {

enum class ConsoleTarget {
    StandardOutput,
    StandardError,
    Silent,
};

void SetConsoleTarget(ConsoleTarget target);
ConsoleTarget CurrentConsoleTarget();

// Quiet: the diagnostic lines (ConsoleLog, ConsoleWrite) are dropped and only errors
// (ConsoleError) reach the target. tolvex-cli is quiet unless asked to be verbose.
void SetConsoleQuiet(bool quiet);

// printf-style line (the format carries its own "\n" where the program writes one).
void ConsoleLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes the text as it is.
void ConsoleWrite(std::string_view text);
// printf-style error line: written even when the console is quiet.
void ConsoleError(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tolvex
