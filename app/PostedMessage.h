#pragma once

// Messages posted to a window (or any QObject) from any thread. A message is a QEvent
// whose type is the message number (all numbers lie in Qt's user range 1000-65535); it
// owns the record it carries, so the receiver frees it simply by letting the event go.
//
// Thread use: PostMessageTo may be called from any thread; the event is delivered on the
// receiver's thread. A receiver that is destroyed first drops its pending events (Qt
// removes them with the object), records included.

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include <cstdint>
#include <memory>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace tolvex {

// ThreadSanitizer does not see inside Qt (not built with it), so it misses that a posted
// event is handed to the receiver's thread under Qt's queue lock. Posting announces the
// hand-off and a receiver accepts it at the top of its event handler; both are nothing in
// other builds.
inline char& PostedMessageHandOff()
{
    static char handOff;
    return handOff;
}
inline void AnnouncePostedMessage()
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(&PostedMessageHandOff());
#endif
}
inline void AcceptPostedMessage()
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(&PostedMessageHandOff());
#endif
}

// Base of every record carried by a message.
struct MessageRecord {
    virtual ~MessageRecord() = default;
};

class MessageEvent : public QEvent {
public:
    MessageEvent(int number, std::unique_ptr<MessageRecord> record, intptr_t wParam, intptr_t lParam)
        : QEvent(static_cast<QEvent::Type>(number)), m_record(std::move(record)), m_wParam(wParam), m_lParam(lParam)
    {
    }

    int number() const { return static_cast<int>(type()); }
    intptr_t wParam() const { return m_wParam; }
    intptr_t lParam() const { return m_lParam; }

    MessageRecord* record() const { return m_record.get(); }
    template <class T>
    T* recordAs() const
    {
        return dynamic_cast<T*>(m_record.get());
    }
    // Takes the record out of the event, for a receiver that keeps it.
    std::unique_ptr<MessageRecord> takeRecord() { return std::move(m_record); }

private:
    std::unique_ptr<MessageRecord> m_record;
    intptr_t m_wParam;
    intptr_t m_lParam;
};

// Posts message `number` to `receiver`. Safe from any thread; never waits.
inline void PostMessageTo(QObject* receiver, int number, std::unique_ptr<MessageRecord> record = nullptr,
                          intptr_t wParam = 0, intptr_t lParam = 0)
{
    if (!receiver)
        return;
    auto* event = new MessageEvent(number, std::move(record), wParam, lParam);
    AnnouncePostedMessage();
    QCoreApplication::postEvent(receiver, event);
}

}  // namespace tolvex
