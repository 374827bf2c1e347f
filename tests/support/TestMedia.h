#pragma once

// Media made and measured at test time with the real ffmpeg and ffprobe: short lavfi clips
// and tones, what ffprobe and volumedetect say about a file, and checks that no child
// process is left. Programs run with argument vectors, never through a shell.

#include "tasks/MediaItem.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace tolvex::test {

// Runs a program to its end with no standard input; true when it exited with status 0.
bool RunProgram(const QString& program, const QStringList& args, QByteArray* out = nullptr, QByteArray* err = nullptr,
                int timeoutMs = 180000);

// Runs the ffmpeg the engine would run, with these arguments (no stdin, overwriting); true
// on exit status 0. `output` receives what it printed; without it, a failed run's output
// goes to stderr.
bool RunFfmpeg(const std::vector<std::string>& args, std::string* output = nullptr);

enum class Sound { Tone, Silence, None };
enum class VideoCodec {
    H264,   // libx264, yuv420p
    Mpeg4,  // mpeg4 on one thread
};

// A testsrc2 clip at 25 frames a second with a sine tone (44100 Hz), silence or no sound;
// AAC sound.
struct ClipShape {
    int width = 640;
    int height = 360;
    double seconds = 2.0;
    Sound sound = Sound::Tone;
    int toneHz = 440;
    QString videoBitRate;  // e.g. "4M"; empty: the encoder's default
    VideoCodec codec = VideoCodec::H264;
};

ClipShape Clip(int width, int height, double seconds, Sound sound = Sound::Tone);

// The clip `shape` describes at `path` (the container from the extension).
bool MakeClip(const QString& path, const ClipShape& shape = {});
// A small MPEG-4 test picture (160x120 unless told) with a 440 Hz tone, or without sound.
bool MakeVideo(const std::string& path, double seconds, int width = 160, int height = 120, bool withAudio = true);
// An audio-only sine tone at 44100 Hz (codec from the extension).
bool MakeTone(const QString& path, double seconds, int hz);
// A 440 Hz sine tone only, AAC.
bool MakeAudio(const std::string& path, double seconds);

// The ffmpeg arguments of a short conversion of `input` to `output` (mpeg4 + aac).
std::vector<std::string> ConvertArgs(const std::string& input, const std::string& output);

struct ProbedFile {
    bool ok = false;
    double duration = 0.0;  // the container's, seconds
    bool hasVideo = false;
    bool hasAudio = false;
    int width = 0;
    int height = 0;
    QString videoCodec;
    QString audioCodec;
    int channels = 0;
    int sampleRate = 0;
    QString formatName;
};
// What ffprobe says about the first video and the first audio stream of `path`.
ProbedFile ProbeFile(const QString& path);

// The colour of the first picture of `path` as ffmpeg shows it, at (x, y) given as
// fractions of its width and height; 0 (transparent black) when it cannot be read.
unsigned PictureColourAt(const QString& path, double x, double y);

// The list item the program's add makes of `path`: its names and size, and what the media
// probe reads (duration, picture, turn, sound).
MediaItem ImportedItem(const QString& path);

// volumedetect's mean volume of the file's audio in dB (-91 or less is silence); NaN when
// it cannot be measured.
double MeanVolumeDb(const QString& path);

// The only file in `folder` (or empty when there is not exactly one), with its full path.
QString SingleFileIn(const QString& folder, const QString& nameFilter = QStringLiteral("*"));

// True when this process has no child at all, running or zombie.
bool NoChildProcesses();
// True when `pid` is gone (never existed, or reaped).
bool ProcessGone(int pid);
// How many children of this process run the program `name` (as /proc's comm shows it)
// right now; zombies are not counted.
int RunningChildren(const QString& name);

}  // namespace tolvex::test
