#pragma once

// What a page job reads when it starts, as plain snapshot records, and the interface through
// which the job factory gets the settings that live in the window's controls.
//
// Thread use: JobInputSource is called on a page worker thread, never with a queue lock
// held. The window implements it with a blocking call into its UI thread (the controls are
// read there); tolvex-cli implements it from its own options.

#include "tasks/OutputTree.h"
#include "tasks/TaskTypes.h"

#include <QString>
#include <QTime>

#include <optional>
#include <string>

namespace tolvex {

// Shared by every job: the ffmpeg program, the output folder (read at job time) and the
// local clock time of the job start (or of the add, for names fixed then).
struct JobContext {
    std::string ffmpegPath;
    QString outputFolder;
    QTime clock;
};

// Convert item: its "output-filename" text and its "video-convert-ratio" text.
struct ConvertSettings {
    QString outputFileName;
    QString ratioText;  // "自动" or width "x" height
};

// Compress item: "video-compress-format" ("原格式" = the input's own), "video-compress-ratio"
// ("原分辨率" = keep the frame size) and the "video-compress-slider" value 0-100.
struct CompressSettings {
    QString formatText;
    QString ratioText;
    int strength = 50;
};

// Rotate item: the selected index of "video-rotate-type", -1 when nothing is selected.
struct RotateSettings {
    int rotateIndex = -1;
};

// Extract page: the "video-extract-format" text.
struct ExtractSettings {
    QString format;
};

// Mute page: the "video-mute" box and the "video-mute-slider" gain in dB.
struct MuteSettings {
    bool mute = false;
    int volumeDb = 0;
};

// Music page: "bg-music-edit", "bg-music-loop", "bg-music-replace", "major-music-slider"
// and "bg-music-slider".
struct MusicSettings {
    QString musicPath;
    bool loop = false;
    bool replace = false;
    int videoVolumeDb = 0;
    int musicVolumeDb = 0;
};

// Merge page: "video-merge-format" and "video-merge-ratio" ("自动" or width "x" height).
struct MergeSettings {
    QString format;
    QString ratioText;
};

// One selected merge input with what the probe of its add reported.
struct MergeSource {
    QString fullPath;
    int width = 0;  // the stored picture size
    int height = 0;
    int uprightTurn = 0;  // 90 or 270: ffmpeg shows the picture turned, width and height exchanged
    double duration = 0.0;
    bool hasAudio = true;
    int audioTracks = 1;  // the number of sound tracks (with hasAudio)
};

// The settings of a job that live in the window's controls. A per-item answer is empty
// when the item is no longer in its page's list.
class JobInputSource {
public:
    virtual ~JobInputSource() = default;
    virtual std::optional<ConvertSettings> convertSettings(TaskId taskId) = 0;
    virtual std::optional<CompressSettings> compressSettings(TaskId taskId) = 0;
    virtual std::optional<RotateSettings> rotateSettings(TaskId taskId) = 0;
    virtual ExtractSettings extractSettings() = 0;
    virtual MuteSettings muteSettings() = 0;
    virtual MusicSettings musicSettings() = 0;
    // The output folder at job time.
    virtual QString outputFolder() = 0;
    // Whether items from folder scans write into their mirrored folders (OutputTree).
    virtual bool keepsFolderTree() { return KeepsFolderTree(); }
    // The engine stops: a source that waits for another thread must stop waiting and
    // answer with empty settings from now on.
    virtual void shutdown() {}
};

}  // namespace tolvex
