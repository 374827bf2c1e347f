// Picture against sound over ten seconds of a file whose picture and sound carry the same
// time marks (a counter and a beep every second), encoded the usual way (reordered frames).

#include "PlayerTestSupport.h"

#include "player/PreviewPlayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tolvex {
namespace {

TEST(AvSync, PictureStaysWithinFortyMillisecondsOfTheSound)
{
    test::MediaFolder media;
    ASSERT_TRUE(media.make("marks.mp4", {"-f", "lavfi", "-i", "testsrc2=s=640x360:r=25:d=12", "-f", "lavfi", "-i",
                                         "sine=f=880:beep_factor=4:r=44100:d=12", "-ac", "2", "-c:v", "libx264",
                                         "-preset", "veryfast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest"}));
    test::VideoWindow window(640, 360);
    PreviewPlayer player(window.area());
    ASSERT_EQ(player.Open(media.path("marks.mp4")), 0);
    ASSERT_TRUE(test::WaitFor([&] { return player.CurrentPosition() > 0.5; }, 5000));

    std::vector<double> gaps;
    const double start = test::WallSeconds();
    const double startPosition = player.CurrentPosition();
    while (test::WallSeconds() - start < 10.0) {
        test::Pump(50);
        const double video = player.videoClock();
        const double audio = player.audioClock();
        ASSERT_FALSE(std::isnan(video) || std::isnan(audio));
        gaps.push_back(std::fabs(video - audio));
    }
    const double played = player.CurrentPosition() - startPosition;
    player.Close();

    std::sort(gaps.begin(), gaps.end());
    const double worst = gaps.back();
    const double median = gaps[gaps.size() / 2];
    const double p95 = gaps[gaps.size() * 95 / 100];
    std::printf("A/V gap over %zu samples: median %.1f ms, 95%% %.1f ms, worst %.1f ms; played %.2f s\n", gaps.size(),
                median * 1000, p95 * 1000, worst * 1000, played);
    // The picture is corrected once it is 40 ms (one frame) off the sound. The worst sample
    // is only reported: on a loaded machine one late wake-up of a thread shows there.
    EXPECT_LE(p95, 0.040);
    EXPECT_NEAR(played, 10.0, 0.3);
}

}  // namespace
}  // namespace tolvex
