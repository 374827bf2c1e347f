#pragma once

// What an animated GIF holds and how much it looks like the part of the video it was made
// from, for the GIF tests and the benchmark: frames, rate, size and looping read with
// ffprobe and from the file's bytes, and the SSIM of its frames against the source's.

#include <QString>

#include <cstdint>
#include <optional>

namespace tolvex::test {

struct GifFacts {
    bool ok = false;
    int frames = 0;
    QString rate;  // ffprobe's average frame rate, "25/1"
    int width = 0;
    int height = 0;
    bool loopsForever = false;  // the NETSCAPE2.0 block with a loop count of 0
    int64_t bytes = 0;
};
GifFacts ReadGifFacts(const QString& gif);

// The mean SSIM (ffmpeg's "All", over Y, U and V) of the GIF's frames against the source's
// frames from `startSeconds` to `endSeconds`, scaled to the GIF's size; the GIF's frames
// are paired with the source's by time, so at the GIF's rate. Nothing when ffmpeg fails.
std::optional<double> GifSsim(const QString& gif, const QString& source, double startSeconds, double endSeconds);

}  // namespace tolvex::test
