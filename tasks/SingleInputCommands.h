#pragma once

// The jobs of the rotate, extract, mute and music pages (compress has its own file): one
// ffmpeg run on one item's input (music adds the page's background file). Output names take
// the clock time of the job start: stem "-" HHMMSS "." extension. The pages that keep the
// input's format take `ownExtension` when the job factory gives one (the probed container's,
// for a name without a usable extension); empty means the name's own. None of these commands
// passes "-y".

#include "media/StreamInventory.h"
#include "tasks/CommandLine.h"
#include "tasks/JobFactory.h"
#include "tasks/JobInputs.h"
#include "tasks/MediaItem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tolvex {

// The video filter of a rotate index 0-7; empty for any other index.
std::string RotateFilter(int rotateIndex);
CommandLine BuildRotateCommand(const JobContext& context, const MediaItem& item, const RotateSettings& settings,
                               const std::string& ownExtension = {}, const StreamInventory* tracks = nullptr,
                               std::string* dropped = nullptr);

// A file with several sound tracks gives one output per track ("-2", "-3" before the
// extension for the second and later, listed in `extraOutputs`), or one Matroska audio
// file with all of them.
CommandLine BuildExtractCommand(const JobContext& context, const MediaItem& item, const ExtractSettings& settings,
                                const StreamInventory* tracks = nullptr,
                                std::vector<std::string>* extraOutputs = nullptr);

// "0" when muted, else the slider gain as "%ddB".
std::string MuteVolumeText(const MuteSettings& settings);
// An input without sound is written as it is (re-encoded, no volume filter).
// Every sound track gets the same gain.
CommandLine BuildMuteCommand(const JobContext& context, const MediaItem& item, const MuteSettings& settings,
                             bool inputHasSound = true, const std::string& ownExtension = {},
                             const StreamInventory* tracks = nullptr, std::string* dropped = nullptr);

// An input without sound gets the music as its sound track, as long as the video.
// The music is mixed into the default sound track; the other tracks stay as they are.
CommandLine BuildMusicCommand(const JobContext& context, const MediaItem& item, const MusicSettings& settings,
                              bool inputHasSound = true, const std::string& ownExtension = {},
                              const StreamInventory* tracks = nullptr, std::string* dropped = nullptr);

}  // namespace tolvex
