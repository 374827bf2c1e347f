#pragma once

// Desktop notifications through the freedesktop notification service
// (org.freedesktop.Notifications on the session bus), for desktops whose panel shows no
// system tray and so no tray balloon. Each notice carries the action "default", which the
// notification server invokes when the user clicks the notice body; such a click on one of
// our notices calls `activated`. Without a session bus, or without a server on it, a
// notice is simply not shown (the reason goes to the diagnostic output).
// UI thread only: the bus calls are asynchronous, and their answers and the server's
// signals arrive through the UI thread's event loop.

#include <QObject>
#include <QString>

#include <functional>
#include <set>

namespace tolvex {

class DesktopNotifications : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";
    static constexpr const char* kInterface = "org.freedesktop.Notifications";
    static constexpr const char* kDefaultAction = "default";

    explicit DesktopNotifications(std::function<void()> activated, QObject* parent = nullptr);
    ~DesktopNotifications() override;

    // Sends a notice; false when there is no session bus to send it on. `warning` asks for
    // a notice that stays until the user closes it when the server honours urgency.
    bool show(const QString& title, const QString& text, bool warning, int timeoutMs);
    // Notices the server has shown and not yet closed, by the ids it gave them.
    const std::set<uint>& openNotices() const { return m_open; }
    // Answers still awaited from the server.
    int pendingCalls() const { return m_pending; }

private slots:
    // Slots by name: QtDBus connects a bus signal only to a named slot.
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    std::function<void()> m_activated;
    std::set<uint> m_open;
    int m_pending = 0;
    bool m_listening = false;
};

}  // namespace tolvex
