#pragma once

// The first life of the window in the journal's window tests, run in a child process of
// the test program (which kills it): the real main window with its journal, as the
// program starts it, given the media of `mediaFolder` and started.
//   "convert": a.mp4, b.mp4 and c.mp4 on the convert page, started.
//   "mixed":   the same, and once b.mp4 runs, a merge of m1.mp4 and m2.mp4 and a cropped
//              split clip of s.mp4, both started.
// Runs until it is killed.

#include <QString>

namespace tolvex::test {

// The environment variables that make the test program live this life instead of testing.
constexpr char kChildScenarioVariable[] = "TOLVEX_JOURNAL_CHILD";
constexpr char kChildMediaVariable[] = "TOLVEX_JOURNAL_MEDIA";

// The split clip of the "mixed" life: its range and its crop.
constexpr char kClipStart[] = "0:0:0";
constexpr char kClipEnd[] = "0:0:3";
constexpr int kClipCropWidth = 320;
constexpr int kClipCropHeight = 180;

int RunJournalChildLife(const QString& scenario, const QString& mediaFolder);

}  // namespace tolvex::test
