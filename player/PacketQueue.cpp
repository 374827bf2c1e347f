#include "player/PacketQueue.h"

namespace tolvex {

PacketQueue::~PacketQueue()
{
    Flush();
}

void PacketQueue::Push(PacketPtr packet)
{
    if (!packet)
        return;
    std::lock_guard lock(m_mutex);
    m_packets.push_back(std::move(packet));
}

PacketPtr PacketQueue::Pop()
{
    PacketPtr packet;
    {
        std::lock_guard lock(m_mutex);
        if (m_packets.empty())
            return nullptr;
        packet = std::move(m_packets.front());
        m_packets.pop_front();
    }
    tellTaken();
    return packet;
}

std::size_t PacketQueue::Size() const
{
    std::lock_guard lock(m_mutex);
    return m_packets.size();
}

bool PacketQueue::IsEmpty() const
{
    std::lock_guard lock(m_mutex);
    return m_packets.empty();
}

void PacketQueue::Flush()
{
    std::deque<PacketPtr> dropped;
    {
        std::lock_guard lock(m_mutex);
        dropped.swap(m_packets);
    }
    tellTaken();
    // The packets are released outside the lock when `dropped` goes out of scope.
}

void PacketQueue::tellTaken() const
{
    if (m_taken)
        m_taken();
}

}  // namespace tolvex
