#include "tests/clip/ClipTestSupport.h"

#include "tests/support/EventLoopWait.h"
#include "tests/support/TestMedia.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace tolvex::test {

namespace {

QTemporaryDir& Folder()
{
    static QTemporaryDir folder;
    return folder;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

}  // namespace

QString TenSecondClip()
{
    const QString path = Folder().filePath(QStringLiteral("ten seconds.mp4"));
    if (!QFile::exists(path)) {
        // A key frame every second, so that seeks land near their targets (the player goes
        // on from the key frame at or before the place sought).
        EXPECT_TRUE(RunFfmpeg({"-v",        "error",
                               "-f",        "lavfi",
                               "-i",        "testsrc2=size=320x240:rate=25:duration=10",
                               "-f",        "lavfi",
                               "-i",        "sine=frequency=440:sample_rate=44100:duration=10",
                               "-c:v",      "libx264",
                               "-pix_fmt",  "yuv420p",
                               "-g",        "25",
                               "-c:a",      "aac",
                               "-shortest", path.toStdString()}));
    }
    return path;
}

QString RotatedClip()
{
    const QString path = Folder().filePath(QStringLiteral("phone.mp4"));
    if (!QFile::exists(path)) {
        const QString plain = Folder().filePath(QStringLiteral("phone-plain.mp4"));
        EXPECT_TRUE(MakeClip(plain, Clip(320, 240, 2.0)));
        EXPECT_TRUE(RunFfmpeg({"-v", "error", "-i", plain.toStdString(), "-c", "copy", "-metadata:s:v:0", "rotate=90",
                               path.toStdString()}));
    }
    return path;
}

void WhenWindowOpens(const QString& windowClass, std::function<void(QWidget*)> steps, int timeoutMs)
{
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [windowClass, steps, deadline, poll] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == windowClass && widget->isVisible()) {
                *poll = nullptr;
                steps(widget);
                return;
            }
        }
        if (!deadline->hasExpired())
            QTimer::singleShot(20, *poll);
        else
            *poll = nullptr;
    };
    QTimer::singleShot(0, *poll);
}

void Press(QWidget* widget, QPoint at)
{
    SendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
}

void MoveHeld(QWidget* widget, QPoint to)
{
    SendMouse(widget, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
}

void Release(QWidget* widget, QPoint at)
{
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

void DragAlong(QWidget* widget, QPoint from, QPoint to, int steps)
{
    Press(widget, from);
    MoveHeld(widget, from);
    for (int i = 1; i <= steps; ++i)
        MoveHeld(widget, from + (to - from) * i / steps);
    Release(widget, to);
}

int ThreadCount()
{
    return static_cast<int>(
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

}  // namespace tolvex::test
