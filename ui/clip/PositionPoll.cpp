#include "ui/clip/PositionPoll.h"

#include "player/PreviewPlayer.h"
#include "ui/clip/ClipMessages.h"

#include <glog/logging.h>

#include <chrono>

namespace tolvex {

PositionPoll::~PositionPoll()
{
    stop();
}

void PositionPoll::start(PreviewPlayer* player, QObject* dialog)
{
    if (m_thread.joinable())
        return;
    m_player = player;
    m_target = dialog;
    m_stop = false;
    m_exited = false;
    m_thread = std::thread([this] { run(); });
}

void PositionPoll::stop()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void PositionPoll::run()
{
    std::unique_lock<std::mutex> lock(m_lock);
    while (!m_stop) {
        if (m_player) {
            auto record = std::make_unique<PlayerPositionRecord>(m_player->CurrentPosition(), m_player->Duration());
            PostMessageTo(m_target, WM_PLAYER_POSITION, std::move(record));
        }
        m_wake.wait_for(lock, std::chrono::milliseconds(kIntervalMs), [this] { return m_stop.load(); });
    }
    m_exited = true;
    VLOG(1) << "ReflushThreadFunc exit...";
}

}  // namespace tolvex
