#pragma once

namespace tolvex {

class FrameTimer;
class MediaReader;
class StreamDecoder;
class VideoOutput;
struct PlaybackState;

// The display step of a player with a picture, run by the render thread on each refresh
// event: decodes the picture that is due, works out how long it stays up against the master
// clock (the audio clock, or the external clock without sound), sets the video clock and
// hands the picture to the video output.
//
// Threads: reset runs on the owner's UI thread before the threads start; step runs on the
// render thread only. It takes the reader's decoder lock around each use of the decoder.
class VideoRefresh {
public:
    VideoRefresh(StreamDecoder& video, const StreamDecoder& audio, MediaReader& reader, PlaybackState& playback,
                 FrameTimer& timer, VideoOutput& output)
        : m_video(video), m_audio(audio), m_reader(reader), m_playback(playback), m_timer(timer), m_output(output)
    {
    }

    // The frame delay corrected against the master clock: `diff` is the video clock minus
    // the master clock (NaN while either is unset). A picture that is late by a frame or
    // more goes at once, one that is early stays up twice as long (or until the clock
    // catches up, when it is up longer than a frame anyway).
    static double correctedDelay(double delay, double diff);

    void reset() { m_lastFramePts = 0.0; }
    // One display step; `afterSeek` after a seek made while paused, when the first picture
    // of the new place is waited for.
    void step(bool afterSeek);

private:
    // Works out the frame delay of a picture at `pts`, corrected against the master clock.
    double frameDelayFor(double pts, bool firstAfterSeek) const;

    StreamDecoder& m_video;
    const StreamDecoder& m_audio;
    MediaReader& m_reader;
    PlaybackState& m_playback;
    FrameTimer& m_timer;
    VideoOutput& m_output;
    double m_lastFramePts = 0.0;
};

}  // namespace tolvex
