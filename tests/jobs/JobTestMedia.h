#pragma once

// Media made and measured with the real ffmpeg and ffprobe for the job tests: short lavfi
// clips written into a temporary folder, and what ffprobe and volumedetect say about the
// outputs. Programs are run with argument vectors, never through a shell.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tolvex::test {

// Runs a program to its end; true when it exited with status 0.
bool RunProgram(const QString& program, const QStringList& args, QByteArray* out = nullptr, QByteArray* err = nullptr,
                int timeoutMs = 180000);

enum class Sound { Tone, Silence, None };

struct ClipSpec {
    int width = 640;
    int height = 360;
    double seconds = 2.0;
    Sound sound = Sound::Tone;
    int toneHz = 440;
    QString videoBitRate;  // e.g. "4M"; empty: the encoder's default
};

ClipSpec Clip(int width, int height, double seconds, Sound sound = Sound::Tone);

// An H.264/AAC clip (testsrc2, sine at 44100 Hz) at `path`.
bool MakeClip(const QString& path, const ClipSpec& spec = {});
// An audio-only tone file (codec from the extension).
bool MakeTone(const QString& path, double seconds, int hz);

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
ProbedFile ProbeFile(const QString& path);

// volumedetect's mean volume of the file's audio in dB (-91 or less is silence); NaN when
// it cannot be measured.
double MeanVolumeDb(const QString& path);

// The only file in `folder` (or empty when there is not exactly one), with its full path.
QString SingleFileIn(const QString& folder, const QString& nameFilter = QStringLiteral("*"));

}  // namespace tolvex::test
