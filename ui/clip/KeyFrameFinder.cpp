#include "ui/clip/KeyFrameFinder.h"

#include "media/KeyFrameProbe.h"

namespace tolvex {

KeyFrameFinder::KeyFrameFinder(std::string path, QObject* parent) : QObject(parent), m_path(std::move(path)) {}

KeyFrameFinder::~KeyFrameFinder()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void KeyFrameFinder::find(int seconds)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_request = seconds;
    }
    if (!m_worker.joinable())
        m_worker = std::thread([this] { run(); });
    m_wake.notify_one();
}

void KeyFrameFinder::run()
{
    for (;;) {
        int seconds = 0;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            m_wake.wait(lock, [this] { return m_stop.load() || m_request.has_value(); });
            if (m_stop)
                return;
            seconds = *m_request;
            m_request.reset();
        }
        ProbeLimits limits;
        limits.abort = &m_stop;
        const std::optional<double> key = ProbeKeyFrameAtOrBefore(m_path, seconds, limits);
        if (m_stop)
            return;
        const double answer = key.value_or(-1.0);
        // Delivered on the UI thread; dropped with this object if it goes first (the
        // destructor joins this thread before the object is gone).
        QMetaObject::invokeMethod(
            this, [this, seconds, answer] { emit found(seconds, answer); }, Qt::QueuedConnection);
    }
}

}  // namespace tolvex
