#pragma once

#include <QObject>

#include <functional>

namespace tolvex {

// Runs `then` once, on the UI thread, when the first paint of any widget after its creation
// is over and every event queued by then is handled: for a window just shown, the moment it
// is on screen and waits for input. Work that a start can leave until then waits here, so
// that it does not delay the first picture. Deletes itself after running, or with `parent`.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QObject* parent, std::function<void()> then);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_then;
    bool m_painted = false;
};

}  // namespace tolvex
