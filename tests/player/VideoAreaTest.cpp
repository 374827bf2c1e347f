// The video area without a window system (Qt's offscreen platform): its sizes, and the
// player refusing picture output there instead of handing SDL a window that does not exist.

#include "player/PreviewPlayer.h"
#include "ui/clip/CVideoArea.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace tolvex {
namespace {

TEST(CVideoArea, SetWidthAndHeightPlaceTheAreaAndSetThePictureSize)
{
    QWidget dialog;
    dialog.resize(1000, 700);
    CVideoArea area(&dialog);
    dialog.show();
    area.SetWidth(22, 58, 1000 - 314);
    area.SetHeight(22, 58, 700 - 232);
    EXPECT_EQ(area.geometry(), QRect(22, 58, 686, 468));
    EXPECT_EQ(area.displayWidth(), 686);
    EXPECT_EQ(area.displayHeight(), 468);

    // Resizing by any other means keeps the picture size in step.
    area.resize(400, 300);
    EXPECT_EQ(area.displayWidth(), 400);
    EXPECT_EQ(area.displayHeight(), 300);
    EXPECT_EQ(area.paintEngine(), nullptr);
}

TEST(CVideoArea, OffscreenPlatformRefusesPictureButPlaysSound)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    QTemporaryDir dir;
    const QString video = dir.filePath("v.mp4");
    const QString sound = dir.filePath("s.wav");
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-y", "-v", "error", "-nostdin", "-f", "lavfi", "-i", "testsrc2=s=64x48:d=0.5", "-c:v",
                            "mpeg4", video});
    ASSERT_TRUE(ffmpeg.waitForFinished(60000));
    ffmpeg.start("ffmpeg", {"-y", "-v", "error", "-nostdin", "-f", "lavfi", "-i", "sine=d=1.5", sound});
    ASSERT_TRUE(ffmpeg.waitForFinished(60000));

    QWidget window;
    CVideoArea area(&window);
    window.resize(320, 240);
    window.show();
    EXPECT_EQ(area.nativeWindowHandle(), 0u);

    PreviewPlayer picture(&area);
    EXPECT_EQ(picture.Open(video.toStdString()), -1);
    EXPECT_EQ(picture.statistics().readThreadStarts + picture.statistics().renderThreadStarts +
                  picture.statistics().timerThreadStarts,
              0);
    picture.Close();

    PreviewPlayer tone(&area);
    ASSERT_EQ(tone.Open(sound.toStdString()), 0);
    EXPECT_DOUBLE_EQ(tone.Duration(), 1.0);
    EXPECT_EQ(tone.statistics().renderThreadStarts, 0);
    tone.Close();
}

}  // namespace
}  // namespace tolvex

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
