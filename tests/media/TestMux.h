#pragma once

// Media files that the ffmpeg command line cannot make, written with the libav* API.

#include <functional>
#include <string>
#include <vector>

struct AVStream;

namespace tolvex::test {

struct SourceStream {
    std::string path;
    int streamIndex;
};

// Copies the chosen streams of existing files into one new file (no re-encoding), letting
// `prepare` change each output stream (its index, the stream) before the header is written.
bool MuxStreams(const std::string& output, const std::vector<SourceStream>& sources,
                const std::function<void(int, AVStream*)>& prepare);

// A Matroska file with one DVD (bitmap) subtitle track in `language`, showing one small
// picture from 0 to `seconds`: the ffmpeg program cannot turn text into such a track.
bool WritePictureSubtitles(const std::string& output, double seconds, const std::string& language);

// Gives the stream a display matrix rotated by `degrees`.
void AddDisplayMatrix(AVStream* stream, double degrees);

// A 2-second phone video (H.264, no sound) whose upright picture is 240x320 in four
// coloured quarters: red top left, green top right, blue bottom left, white bottom right.
// It is stored turned back by `uprightTurn` (90, 180 or 270) with a display matrix that
// asks players and ffmpeg to turn it upright again. `work` is a folder for the plain file.
bool MakeQuadrantPhoneVideo(const std::string& path, int uprightTurn, const std::string& work);

}  // namespace tolvex::test
