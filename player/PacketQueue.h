#pragma once

#include "media/AvPointers.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace tolvex {

// First-in, first-out queue of demuxed packets between the player's read thread (Push)
// and the decoders (Pop on the render thread and SDL's audio thread; Flush from Seek and
// Close on the UI thread). Every operation takes the queue's own lock; the queue owns the
// packets it holds and releases those still queued when it is destroyed. A listener hears
// of every packet taken out (Pop, Flush), after the lock is let go: the read thread sleeps
// on it while a queue is full.
class PacketQueue {
public:
    PacketQueue() = default;
    ~PacketQueue();
    PacketQueue(const PacketQueue&) = delete;
    PacketQueue& operator=(const PacketQueue&) = delete;

    // Appends at the back. A null packet is ignored.
    void Push(PacketPtr packet);
    // Takes the front packet; null when the queue is empty.
    PacketPtr Pop();
    std::size_t Size() const;
    bool IsEmpty() const;
    // Releases every queued packet.
    void Flush();
    // Set before the queue is shared between threads.
    void setTakenListener(std::function<void()> listener) { m_taken = std::move(listener); }

private:
    void tellTaken() const;

    mutable std::mutex m_mutex;
    std::deque<PacketPtr> m_packets;
    std::function<void()> m_taken;
};

}  // namespace tolvex
