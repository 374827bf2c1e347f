#pragma once

// The jobs of the compress, rotate, extract, mute and music pages: one ffmpeg run on one
// item's input (music adds the page's background file). Output names take the clock time
// of the job start: stem "-" HHMMSS "." extension. The pages that keep the input's format
// take `ownExtension` when the job factory gives one (the probed container's, for a name
// without a usable extension); empty means the name's own. None of these commands passes "-y".

#include "tasks/CommandLine.h"
#include "tasks/JobFactory.h"
#include "tasks/JobInputs.h"
#include "tasks/MediaItem.h"

#include <cstdint>
#include <string>

namespace tolvex {

// Compress arithmetic: the strength (100 counts as 99), the target size in bytes and the
// video bit rate for a duration in whole seconds (which must be positive).
int EffectiveStrength(int strength);
int64_t CompressTargetBytes(int64_t fileSize, int strength);
int64_t CompressBitRate(int64_t targetBytes, int64_t durationSeconds);

// Fails (with a reason for the user) when the probe gave no positive duration: there is no
// bit rate that would hit the target then.
JobPlan BuildCompressJob(const JobContext& context, const MediaItem& item, const CompressSettings& settings,
                         int64_t durationSeconds, const std::string& ownExtension = {});

// The video filter of a rotate index 0-7; empty for any other index.
std::string RotateFilter(int rotateIndex);
CommandLine BuildRotateCommand(const JobContext& context, const MediaItem& item, const RotateSettings& settings,
                               const std::string& ownExtension = {});

CommandLine BuildExtractCommand(const JobContext& context, const MediaItem& item, const ExtractSettings& settings);

// "0" when muted, else the slider gain as "%ddB".
std::string MuteVolumeText(const MuteSettings& settings);
// An input without sound is written as it is (re-encoded, no volume filter).
CommandLine BuildMuteCommand(const JobContext& context, const MediaItem& item, const MuteSettings& settings,
                             bool inputHasSound = true, const std::string& ownExtension = {});

// An input without sound gets the music as its sound track, as long as the video.
CommandLine BuildMusicCommand(const JobContext& context, const MediaItem& item, const MusicSettings& settings,
                              bool inputHasSound = true, const std::string& ownExtension = {});

}  // namespace tolvex
