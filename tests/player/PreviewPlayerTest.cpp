// The preview player on real files made with ffmpeg, drawing into a real X11 window
// (Xvfb) with SDL's dummy or disk audio driver.

#include "PlayerTestSupport.h"

#include "player/PreviewPlayer.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace tolvex {
namespace {

using test::MediaFolder;
using test::Pump;
using test::VideoWindow;
using test::WaitFor;
using test::WallSeconds;

long FramesShown(const PreviewPlayer& player)
{
    return player.statistics().framesShown.load();
}

class PreviewPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_media = new MediaFolder;
        // 4 s of picture and sound, a key frame every second, no reordering so that the
        // key frame before a seek target is known exactly.
        ASSERT_TRUE(s_media->make("av.mp4", {"-f",      "lavfi",     "-i",       "testsrc2=s=320x240:r=25:d=4",
                                             "-f",      "lavfi",     "-i",       "sine=f=440:r=44100:d=4",
                                             "-ac",     "2",         "-c:v",     "libx264",
                                             "-preset", "ultrafast", "-g",       "25",
                                             "-bf",     "0",         "-pix_fmt", "yuv420p",
                                             "-c:a",    "aac",       "-shortest"}));
        ASSERT_TRUE(s_media->make("short.mp4", {"-f",      "lavfi",     "-i",       "testsrc2=s=160x120:r=25:d=1",
                                                "-f",      "lavfi",     "-i",       "sine=r=44100:d=1",
                                                "-ac",     "2",         "-c:v",     "libx264",
                                                "-preset", "ultrafast", "-g",       "25",
                                                "-bf",     "0",         "-pix_fmt", "yuv420p",
                                                "-c:a",    "aac",       "-shortest"}));
        ASSERT_TRUE(s_media->make("video10fps.mp4", {"-f", "lavfi", "-i", "testsrc2=s=320x240:r=10:d=4", "-c:v",
                                                     "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"}));
        ASSERT_TRUE(s_media->make("tone.wav", {"-f", "lavfi", "-i", "sine=f=440:r=44100:d=2.6", "-ac", "2"}));
    }
    static void TearDownTestSuite()
    {
        delete s_media;
        s_media = nullptr;
    }

    static std::string file(const char* name) { return s_media->path(name); }

    // Waits for the first picture (or, without picture, the first audio clock setting).
    static bool waitForPlayback(const PreviewPlayer& player)
    {
        return WaitFor([&] { return player.hasVideo() ? FramesShown(player) > 0 : !std::isnan(player.audioClock()); },
                       5000);
    }

    static MediaFolder* s_media;
};

MediaFolder* PreviewPlayerTest::s_media = nullptr;

TEST_F(PreviewPlayerTest, PlaysVideoWithSoundInStepWithTheWallClock)
{
    VideoWindow window;
    PreviewPlayer player(window.area());
    EXPECT_EQ(player.volume(), 69);
    ASSERT_EQ(player.Open(file("av.mp4")), 0);
    EXPECT_EQ(player.state(), PreviewPlayer::StatePlaying);
    EXPECT_TRUE(player.hasVideo());
    EXPECT_TRUE(player.hasAudio());
    EXPECT_EQ(player.frameWidth(), 320);
    EXPECT_EQ(player.frameHeight(), 240);
    EXPECT_NEAR(player.Duration(), 4.0, 0.05);
    EXPECT_EQ(player.statistics().timerThreadStarts, 1);
    EXPECT_EQ(player.statistics().readThreadStarts, 1);
    EXPECT_EQ(player.statistics().renderThreadStarts, 1);

    ASSERT_TRUE(waitForPlayback(player));
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 0.3; }, 3000));
    EXPECT_TRUE(player.videoOutputReady()) << "no SDL renderer on the video area";
    EXPECT_FALSE(player.rendererName().empty());

    // Two seconds of the file take two seconds of the wall clock, with a picture for every
    // 25th of a second of it (the position is the last picture's time).
    const double position0 = player.CurrentPosition();
    const long frames0 = FramesShown(player);
    const double wall0 = WallSeconds();
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() >= position0 + 2.0; }, 5000));
    const double played = player.CurrentPosition() - position0;
    const long frames = FramesShown(player) - frames0;
    EXPECT_NEAR(WallSeconds() - wall0, played, 0.3);
    EXPECT_NEAR(static_cast<double>(frames), played * 25, 1);
    // The picture follows the sound.
    EXPECT_NEAR(player.videoClock(), player.audioClock(), 0.1);
    // Picture stretched to the area.
    EXPECT_EQ(player.shownWidth(), window.area()->displayWidth());
    EXPECT_EQ(player.shownHeight(), window.area()->displayHeight());

    player.Close();
    EXPECT_EQ(player.state(), PreviewPlayer::StateClosing);
    player.Close();
}

TEST_F(PreviewPlayerTest, PauseHoldsThePositionAndResumeGoesOn)
{
    VideoWindow window;
    PreviewPlayer player(window.area());
    ASSERT_EQ(player.Open(file("av.mp4")), 0);
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 0.5; }, 5000));

    player.Pause();
    EXPECT_EQ(player.state(), PreviewPlayer::StatePaused);
    Pump(200);  // a refresh already under way may still land
    const double held = player.CurrentPosition();
    const long frames = FramesShown(player);
    Pump(600);
    EXPECT_DOUBLE_EQ(player.CurrentPosition(), held);
    EXPECT_EQ(FramesShown(player), frames);

    player.Pause();  // pausing twice changes nothing
    EXPECT_EQ(player.state(), PreviewPlayer::StatePaused);
    player.Resume();
    EXPECT_EQ(player.state(), PreviewPlayer::StatePlaying);
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > held + 0.4; }, 3000));
    player.Close();
}

TEST_F(PreviewPlayerTest, SeekWhilePausedShowsOneFrameOfTheKeyFrameBeforeTheTarget)
{
    VideoWindow window;
    PreviewPlayer player(window.area());
    ASSERT_EQ(player.Open(file("av.mp4")), 0);
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 0.2; }, 5000));
    player.Pause();
    Pump(200);

    for (const auto& [target, keyFrame] : {std::pair{2.5, 2.0}, std::pair{1.0, 1.0}, std::pair{0.9, 0.0}}) {
        const long frames = FramesShown(player);
        player.Seek(target);
        ASSERT_TRUE(WaitFor([&] { return FramesShown(player) > frames; }, 2000)) << "target " << target;
        Pump(300);
        EXPECT_EQ(FramesShown(player), frames + 1) << "target " << target;
        EXPECT_NEAR(player.CurrentPosition(), keyFrame, 0.001) << "target " << target;
        EXPECT_EQ(player.state(), PreviewPlayer::StatePaused);
    }

    // Playing on from there.
    player.Resume();
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 0.5; }, 3000));
    player.Close();
}

TEST_F(PreviewPlayerTest, SeekWhilePlayingGoesOnFromTheKeyFrame)
{
    VideoWindow window;
    PreviewPlayer player(window.area());
    ASSERT_EQ(player.Open(file("av.mp4")), 0);
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 0.2; }, 5000));
    player.Seek(2.4);
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() >= 2.0; }, 2000));
    EXPECT_LT(player.CurrentPosition(), 2.5);
    Pump(500);
    EXPECT_GT(player.CurrentPosition(), 2.2);
    EXPECT_NEAR(player.videoClock(), player.audioClock(), 0.15);
    player.Close();
}

// Share of the pixels in a rectangle of the grabbed area that are not black.
double DrawnShare(const QImage& image, const QRect& rect)
{
    int drawn = 0;
    int total = 0;
    for (int y = rect.top(); y <= rect.bottom(); y += 2) {
        for (int x = rect.left(); x <= rect.right(); x += 2) {
            const QRgb pixel = image.pixel(x, y);
            if (qRed(pixel) + qGreen(pixel) + qBlue(pixel) > 48)
                ++drawn;
            ++total;
        }
    }
    return total ? static_cast<double>(drawn) / total : 0.0;
}

QImage GrabArea(const CVideoArea* area)
{
    return area->screen()->grabWindow(area->winId()).toImage();
}

TEST_F(PreviewPlayerTest, PictureFillsTheAreaAndFollowsItsSize)
{
    VideoWindow window(320, 240);
    PreviewPlayer player(window.area());
    ASSERT_EQ(player.Open(file("av.mp4")), 0);
    ASSERT_TRUE(WaitFor([&] { return FramesShown(player) > 10; }, 5000));
    player.Pause();
    Pump(200);

    QImage image = GrabArea(window.area());
    ASSERT_EQ(image.width(), window.area()->displayWidth());
    EXPECT_GT(DrawnShare(image, image.rect()), 0.9);

    // Larger area while paused: the last picture is stretched over the new size at once.
    window.window()->resize(480, 360);
    ASSERT_TRUE(WaitFor([&] { return window.area()->displayWidth() == 480; }, 2000));
    ASSERT_TRUE(WaitFor([&] { return player.shownWidth() == 480 && player.shownHeight() == 360; }, 2000));
    Pump(200);
    image = GrabArea(window.area());
    ASSERT_EQ(image.width(), 480);
    // The right and bottom bands, outside the old 320 x 240 picture, are drawn too.
    EXPECT_GT(DrawnShare(image, QRect(330, 0, 150, 360)), 0.9);
    EXPECT_GT(DrawnShare(image, QRect(0, 250, 480, 110)), 0.9);

    // Playing on at the new size.
    player.Resume();
    const long frames = FramesShown(player);
    ASSERT_TRUE(WaitFor([&] { return FramesShown(player) > frames + 5; }, 3000));
    EXPECT_EQ(player.shownWidth(), 480);
    player.Close();
}

TEST_F(PreviewPlayerTest, PicturesOfEveryLayoutShowTheirOwnColours)
{
    // One reddish colour, stored in the layouts the texture takes as they are (planar 4:2:0,
    // NV12, full-range JPEG) and in layouts that are converted first (4:2:2, RGB, grey). A
    // mixed-up plane or matrix turns it blue, green or pale.
    struct Layout {
        const char* name;
        QStringList encode;
        QRgb colour;
    };
    const QRgb red = qRgb(200, 50, 40);
    const QRgb grey = qRgb(128, 128, 128);
    const Layout layouts[] = {
        {"yuv420p.mp4", {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"}, red},
        {"nv12.nut", {"-c:v", "rawvideo", "-pix_fmt", "nv12"}, red},
        {"yuvj420p.avi", {"-c:v", "mjpeg", "-q:v", "2", "-pix_fmt", "yuvj420p"}, red},
        {"yuv422p.nut", {"-c:v", "rawvideo", "-pix_fmt", "yuv422p"}, red},
        {"rgb24.nut", {"-c:v", "rawvideo", "-pix_fmt", "rgb24"}, red},
        {"gray.nut", {"-c:v", "rawvideo", "-pix_fmt", "gray"}, grey},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        const QString colour = layout.colour == red ? QStringLiteral("0xC83228") : QStringLiteral("0x808080");
        ASSERT_TRUE(s_media->make(
            layout.name,
            QStringList{"-f", "lavfi", "-i", "color=c=" + colour + ":s=160x120:r=25:d=2"} + layout.encode));
        VideoWindow window(160, 120);
        PreviewPlayer player(window.area());
        ASSERT_EQ(player.Open(file(layout.name)), 0);
        ASSERT_TRUE(WaitFor([&] { return FramesShown(player) > 3; }, 5000));
        player.Pause();
        Pump(100);
        const QRgb shown = GrabArea(window.area()).pixel(80, 60);
        EXPECT_NEAR(qRed(shown), qRed(layout.colour), 16) << std::hex << shown;
        EXPECT_NEAR(qGreen(shown), qGreen(layout.colour), 16) << std::hex << shown;
        EXPECT_NEAR(qBlue(shown), qBlue(layout.colour), 16) << std::hex << shown;
        player.Close();
    }
}

TEST_F(PreviewPlayerTest, EndCallbackRepeatsAtTheEndUntilASeek)
{
    VideoWindow window;
    PreviewPlayer player(window.area());
    std::atomic<int> calls{0};
    int tag = 0;
    std::atomic<void*> seenUser{nullptr};
    player.SetEndOfMediaCallback(
        [&](void* user) {
            seenUser = user;
            calls++;
        },
        &tag);
    player.setNotifyAtEnd(true);
    ASSERT_EQ(player.Open(file("short.mp4")), 0);
    ASSERT_TRUE(WaitFor([&] { return calls.load() > 0; }, 5000));
    EXPECT_EQ(seenUser.load(), &tag);

    // Every 40 ms while the queues stay empty, paused or not.
    int before = calls;
    Pump(500);
    EXPECT_GE(calls - before, 6);
    EXPECT_LE(calls - before, 14);
    player.Pause();
    before = calls;
    Pump(300);
    EXPECT_GE(calls - before, 3);

    // A seek refills the queues: no more calls until the file has played out again.
    player.Resume();
    player.Seek(0.0);
    Pump(60);
    before = calls;
    Pump(400);
    EXPECT_LE(calls - before, 0);
    ASSERT_TRUE(WaitFor([&] { return calls.load() > before; }, 4000));
    player.Close();
}

TEST_F(PreviewPlayerTest, EveryFrameIsShownOnceUpToTheLast)
{
    VideoWindow window;
    PreviewPlayer player(window.area());
    std::atomic<int> calls{0};
    player.SetEndOfMediaCallback([&](void*) { calls++; }, nullptr);
    player.setNotifyAtEnd(true);
    ASSERT_EQ(player.Open(file("short.mp4")), 0);
    ASSERT_TRUE(WaitFor([&] { return calls.load() > 0; }, 5000));
    // 25 pictures in the file, none skipped, none held back in the decoder at the end.
    EXPECT_EQ(FramesShown(player), 25);
    EXPECT_NEAR(player.CurrentPosition(), 0.96, 0.001);
    Pump(200);
    EXPECT_EQ(FramesShown(player), 25);

    // Again from the start after the end.
    player.Seek(0.0);
    const int before = calls;
    ASSERT_TRUE(WaitFor([&] { return calls.load() > before + 1; }, 5000));
    EXPECT_GE(FramesShown(player), 49);
    EXPECT_NEAR(player.CurrentPosition(), 0.96, 0.001);
    player.Close();
}

TEST_F(PreviewPlayerTest, NoEndCallbackUnlessAskedFor)
{
    VideoWindow window;
    PreviewPlayer player(window.area());
    std::atomic<int> calls{0};
    player.SetEndOfMediaCallback([&](void*) { calls++; }, nullptr);
    ASSERT_EQ(player.Open(file("short.mp4")), 0);
    Pump(1800);
    EXPECT_EQ(calls.load(), 0);
    player.Close();
}

TEST_F(PreviewPlayerTest, SoundOnlyFileHasWholeSecondsAndNoPictureThreads)
{
    PreviewPlayer player(nullptr);
    ASSERT_EQ(player.Open(file("tone.wav")), 0);
    EXPECT_FALSE(player.hasVideo());
    EXPECT_TRUE(player.hasAudio());
    EXPECT_DOUBLE_EQ(player.Duration(), 2.0);
    EXPECT_EQ(player.statistics().timerThreadStarts, 0);
    EXPECT_EQ(player.statistics().renderThreadStarts, 0);
    EXPECT_EQ(player.statistics().readThreadStarts, 1);

    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 0.2; }, 3000));
    const double position0 = player.CurrentPosition();
    const double wall0 = WallSeconds();
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() >= position0 + 1.0; }, 3000));
    EXPECT_NEAR(WallSeconds() - wall0, player.CurrentPosition() - position0, 0.2);

    // Seeking uses the sound stream's time base.
    player.Seek(0.2);
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() < 1.0; }, 2000));

    // Targets that are no place in the file: not a number is ignored, before the start is
    // the start, far past the end is the end; playing goes on.
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 0.8; }, 3000));
    player.Seek(std::nan(""));
    player.Seek(-5.0);
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() < 0.5; }, 2000));
    player.Seek(1e300);
    Pump(300);
    player.Seek(0.5);
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() < 1.0; }, 2000));
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 0.7; }, 3000));
    player.Close();
}

TEST_F(PreviewPlayerTest, PictureOnlyFileRunsOnTheExternalClockAtItsFrameRate)
{
    VideoWindow window;
    PreviewPlayer player(window.area());
    ASSERT_EQ(player.Open(file("video10fps.mp4")), 0);
    EXPECT_FALSE(player.hasAudio());
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 0.3; }, 5000));
    const double position0 = player.CurrentPosition();
    const long frames0 = FramesShown(player);
    const double wall0 = WallSeconds();
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() >= position0 + 2.0; }, 5000));
    const double played = player.CurrentPosition() - position0;
    const long frames = FramesShown(player) - frames0;
    EXPECT_NEAR(WallSeconds() - wall0, played, 0.3);
    EXPECT_NEAR(static_cast<double>(frames), played * 10, 1);
    // The external clock runs along with the picture (a start-up lead of a few frames
    // stays at this low rate: the pacing never waits more than 0.1 s).
    EXPECT_NEAR(player.externalClock(), player.videoClock(), 0.3);

    // After a seek the picture goes on at the same pace from the new place.
    player.Seek(0.5);
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() < 1.0; }, 2000));
    const double position1 = player.CurrentPosition();
    const double wall1 = WallSeconds();
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() >= position1 + 1.0; }, 3000));
    EXPECT_NEAR(WallSeconds() - wall1, player.CurrentPosition() - position1, 0.3);
    player.Close();
}

TEST_F(PreviewPlayerTest, RepeatedSeeksWhilePlayingNeverRushAhead)
{
    // A picture taken out of the decoder just before a seek is of the old place. Were it
    // shown after the seek, the clock of a file without sound would jump back there and
    // the pictures of the new place would rush to catch up with it.
    VideoWindow window;
    PreviewPlayer player(window.area());
    ASSERT_EQ(player.Open(file("video10fps.mp4")), 0);
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 0.3; }, 5000));
    for (int round = 0; round < 8; ++round) {
        Pump(150 + 37 * round);  // seeks at different moments of a frame's life
        player.Seek(0.0);
        ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() < 0.35; }, 2000)) << "round " << round;
        const double position = player.CurrentPosition();
        const double wall = WallSeconds();
        Pump(400);
        EXPECT_NEAR(player.CurrentPosition() - position, WallSeconds() - wall, 0.3) << "round " << round;
    }
    player.Close();
}

TEST_F(PreviewPlayerTest, CloseRightAfterOpenReturnsPromptly)
{
    VideoWindow window;
    for (int round = 0; round < 5; ++round) {
        PreviewPlayer player(window.area());
        ASSERT_EQ(player.Open(file("av.mp4")), 0);
        const auto start = std::chrono::steady_clock::now();
        player.Close();
        const auto spent = std::chrono::steady_clock::now() - start;
        // Bounded by the renderer's start-up (GL set-up) and the audio thread's last
        // buffer, not by any playback: no thread is left waiting.
        EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(spent).count(), 1500) << "round " << round;
        player.Destroy();
    }
    // The area's window survives its players and takes a new one.
    PreviewPlayer player(window.area());
    ASSERT_EQ(player.Open(file("av.mp4")), 0);
    ASSERT_TRUE(WaitFor([&] { return FramesShown(player) > 5; }, 5000));
    EXPECT_TRUE(player.videoOutputReady());
}

TEST_F(PreviewPlayerTest, TwoPlayersDoNotBreakEachOther)
{
    // SDL's dummy driver has a single output device, so only one of two players at once
    // has sound; the other plays its picture on the external clock.
    VideoWindow first;
    VideoWindow second;
    {
        PreviewPlayer withSound(first.area());
        PreviewPlayer pictureOnly(second.area());
        ASSERT_EQ(withSound.Open(file("av.mp4")), 0);
        ASSERT_EQ(pictureOnly.Open(file("video10fps.mp4")), 0);
        ASSERT_TRUE(WaitFor([&] { return FramesShown(withSound) > 5 && FramesShown(pictureOnly) > 5; }, 5000));

        // Closing one player leaves the other its sound and its picture.
        pictureOnly.Close();
        const long frames = FramesShown(withSound);
        const double audio = withSound.audioClock();
        Pump(600);
        EXPECT_GT(FramesShown(withSound), frames + 8);
        EXPECT_GT(withSound.audioClock(), audio + 0.4);
        EXPECT_NEAR(withSound.videoClock(), withSound.audioClock(), 0.15);

        PreviewPlayer again(second.area());
        ASSERT_EQ(again.Open(file("video10fps.mp4")), 0);
        ASSERT_TRUE(WaitFor([&] { return FramesShown(again) > 2; }, 3000));
        withSound.Close();
        const long againFrames = FramesShown(again);
        Pump(500);
        EXPECT_GT(FramesShown(again), againFrames + 3);
        again.Close();
    }
    // One after the other on the same area, each with its sound.
    for (int round = 0; round < 2; ++round) {
        PreviewPlayer player(first.area());
        ASSERT_EQ(player.Open(file("short.mp4")), 0);
        EXPECT_TRUE(player.hasAudio()) << "round " << round;
        ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 0.3; }, 5000)) << "round " << round;
        EXPECT_FALSE(std::isnan(player.audioClock()));
        player.Close();
    }
}

TEST_F(PreviewPlayerTest, OpenFailuresStartNothing)
{
    PreviewPlayer missing(nullptr);
    EXPECT_EQ(missing.Open(s_media->path("no-such-file.mp4")), -1);
    EXPECT_EQ(missing.statistics().readThreadStarts, 0);
    missing.Close();

    // A picture needs a real native window: refused cleanly, nothing started.
    test::WindowlessSurface windowless;
    PreviewPlayer noWindow(&windowless);
    EXPECT_EQ(noWindow.Open(file("av.mp4")), -1);
    const PlayerStatistics& started = noWindow.statistics();
    EXPECT_EQ(started.readThreadStarts + started.timerThreadStarts + started.renderThreadStarts, 0);
    noWindow.Close();
    // Sound alone needs no window.
    PreviewPlayer sound(&windowless);
    EXPECT_EQ(sound.Open(file("tone.wav")), 0);
    sound.Close();

    // Not a media file.
    const QString text = QString::fromStdString(s_media->path("text.mp4"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a media file at all\n");
    file.close();
    PreviewPlayer garbage(nullptr);
    EXPECT_EQ(garbage.Open(text.toStdString()), -1);
}

// Reads the signed 16-bit samples SDL's disk driver wrote.
std::vector<int16_t> ReadSamples(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    std::vector<int16_t> samples(static_cast<size_t>(bytes.size()) / 2);
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}

int Peak(const std::vector<int16_t>& samples)
{
    int peak = 0;
    for (int16_t s : samples)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

TEST_F(PreviewPlayerTest, VolumeScalesWhatIsPlayedAndZeroIsSilence)
{
    QTemporaryDir dir;
    auto playWith = [&](int volume, const QString& name) {
        const QString out = dir.filePath(name);
        // The disk driver is picked up when the audio subsystem starts again, which only
        // happens because the players before shut their audio subsystem down.
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", out.toLocal8Bit().constData(), 1);
        PreviewPlayer player(nullptr);
        if (volume >= 0)
            player.SetVolume(volume);
        EXPECT_EQ(player.Open(file("tone.wav")), 0);
        Pump(800);
        player.Close();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        return ReadSamples(out);
    };
    const std::vector<int16_t> silent = playWith(0, "v0.raw");
    const std::vector<int16_t> initial = playWith(-1, "v69.raw");
    const std::vector<int16_t> full = playWith(128, "v128.raw");
    const std::vector<int16_t> clamped = playWith(500, "v500.raw");

    ASSERT_GT(silent.size(), 44100u / 2) << "the disk driver wrote nothing";
    EXPECT_EQ(Peak(silent), 0);
    // lavfi's sine has an amplitude of 1/8 of full scale, 3 dB down when spread over two
    // channels: 4096 / sqrt(2).
    EXPECT_NEAR(Peak(full), 2896, 30);
    EXPECT_NEAR(Peak(initial), 2896.0 * 69 / 128, 30);
    EXPECT_NEAR(Peak(clamped), Peak(full), 2);
}

}  // namespace
}  // namespace tolvex
