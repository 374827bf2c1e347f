#pragma once

// The convert page's job: the ffmpeg command of one item, from its input, its output file
// name, its frame size choice and its confirmed output parameters (if any).

#include "media/OutputParams.h"
#include "media/StreamInventory.h"
#include "tasks/CommandLine.h"
#include "tasks/JobInputs.h"
#include "tasks/MediaItem.h"

#include <optional>
#include <string>

namespace tolvex {

class EncoderSupport;

// The item's output file name, formed when the item is added or its format changes:
// the input name's stem, "-", HHMMSS of `time`, ".", the format.
std::string ConvertOutputName(const QString& inputFileName, const QTime& time, const QString& format);

// The option text between the input and the output path, exactly as the command shows it
// (it may begin or end with a blank).
std::string ConvertOptionText(const std::string& extension, const std::string& ratioText,
                              const std::optional<OutputParams>& params, const EncoderSupport& encoders);

// "ffmpeg" -y -i "input" <options> "output"
// `tracks` (when the input was probed) adds the options that keep every track and tag the
// output can hold; `dropped` then gets what it cannot.
CommandLine BuildConvertCommand(const JobContext& context, const MediaItem& item, const ConvertSettings& settings,
                                const std::optional<OutputParams>& params, const EncoderSupport& encoders,
                                const StreamInventory* tracks = nullptr, std::string* dropped = nullptr);

}  // namespace tolvex
