#pragma once

// Shared by the clip dialog tests: the media they play (made once per run with the real
// ffmpeg), finding a dialog that runs modally, and mouse input sent straight to a widget.

#include <QPoint>
#include <QString>

#include <functional>

class QWidget;

namespace tolvex::test {

// A 10 s testsrc2 clip, 320x240, with a tone, a key frame every second.
QString TenSecondClip();
// The same picture stored on its side with a display matrix asking for a 90-degree turn.
QString RotatedClip();

// Runs `steps` as soon as a visible top-level window named `windowClass` exists (checked
// from the event loop, so it also works while that window runs modally).
void WhenWindowOpens(const QString& windowClass, std::function<void(QWidget*)> steps, int timeoutMs = 60000);

// Mouse input as the window system would deliver it: press, moves with the button held,
// release (positions in the widget's coordinates).
void Press(QWidget* widget, QPoint at);
void MoveHeld(QWidget* widget, QPoint to);
void Release(QWidget* widget, QPoint at);
void DragAlong(QWidget* widget, QPoint from, QPoint to, int steps = 8);

// Threads of this process, from /proc.
int ThreadCount();

}  // namespace tolvex::test
