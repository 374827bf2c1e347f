#include "ui/framework/AfterFirstPaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <utility>

namespace tolvex {

AfterFirstPaint::AfterFirstPaint(QObject* parent, std::function<void()> then) : QObject(parent), m_then(std::move(then))
{
    qApp->installEventFilter(this);
}

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        qApp->removeEventFilter(this);
        // A zero timer runs once the whole paint and every queued event are handled.
        QTimer::singleShot(0, this, [this] {
            m_then();
            deleteLater();
        });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tolvex
