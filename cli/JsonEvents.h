#pragma once

// The lines of tolvex-cli --json: one JSON object a line on standard output, so that a
// script, a CI job or a scheduler running many companions can follow them. Every object
// has "event" and "page"; the events of one item come in order: "progress" (0 or more),
// then "done" or "failed"; "summary" ends the run.
//
//   {"event":"progress","page":"convert","item":0,"input":"/in/a.mp4","percent":42,"seconds_left":3}
//   {"event":"done","page":"convert","item":0,"input":"/in/a.mp4","output":"/out/a-101500.mkv",
//    "size":123456,"seconds":1.52}
//   {"event":"failed","page":"convert","item":1,"input":"/in/b.mp4","reason":"..."}
//   {"event":"summary","page":"convert","jobs":2,"done":1,"failed":1}
//
// "seconds_left" is null until it can be told; a done compress job adds "promised_size".
// Plain functions; any thread.

#include "tasks/TaskUpdate.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tolvex::cli {

struct JsonItem {
    PageKind page = PageKind::Convert;
    TaskId item = 0;
    std::string input;  // the input file (UTF-8); for merge, the output's name
};

std::string JsonProgressLine(const JsonItem& item, const TaskUpdate& update);
std::string JsonDoneLine(const JsonItem& item, const TaskUpdate& update, const std::string& outputPath,
                         std::optional<int64_t> promisedBytes);
std::string JsonFailedLine(const JsonItem& item, const TaskUpdate& update);
std::string JsonSummaryLine(PageKind page, size_t jobs, int done, int failed);

}  // namespace tolvex::cli
