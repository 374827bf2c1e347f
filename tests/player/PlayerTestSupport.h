#pragma once

// Shared pieces of the player tests: a folder of media made with the real ffmpeg at test
// time, a window holding a video area, and waiting while Qt's events keep flowing.

#include "player/VideoSurface.h"
#include "tests/support/EventLoopWait.h"
#include "ui/clip/CVideoArea.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>
#include <string>

namespace tolvex::test {

// A folder of generated media, made once per test program.
class MediaFolder {
public:
    MediaFolder();
    std::string path(const QString& name) const;
    // Makes `name` with ffmpeg (these arguments, then the file) unless it already exists.
    bool make(const QString& name, const QStringList& arguments);

private:
    QTemporaryDir m_dir;
};

// A shown top-level window with a video area filling it.
class VideoWindow {
public:
    explicit VideoWindow(int width = 320, int height = 240);
    ~VideoWindow();
    CVideoArea* area() const { return m_area; }
    QWidget* window() const { return m_window.get(); }

private:
    std::unique_ptr<QWidget> m_window;
    CVideoArea* m_area;
};

// A surface without any native window, as under a platform without X11.
class WindowlessSurface : public VideoSurface {
public:
    std::uintptr_t nativeWindowHandle() const override { return 0; }
    int displayWidth() const override { return 320; }
    int displayHeight() const override { return 240; }
};

// Wall-clock seconds (same base as the player's clocks).
double WallSeconds();

// The main of the player test programs: a QApplication on xcb and dummy SDL audio.
int RunPlayerTests(int argc, char** argv);

}  // namespace tolvex::test
