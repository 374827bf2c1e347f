#pragma once

// The tray icon's menu: a small skinned pop-up with six entries (quit, home, feedback,
// help, upgrade, settings). Choosing an entry posts its message to the owner window, which
// carries out the action, and closes the menu. The menu opens above and to the right of
// the cursor, and closes when it loses focus or the user clicks anywhere else.
//
// One menu per request, created on the heap; it deletes itself after its final message.
// UI thread only.

#include "ui/framework/WindowImplBase.h"

#include <QPoint>
#include <QPointer>

namespace tolvex {

class CMainTaskMenu : public WindowImplBase {
    Q_OBJECT

public:
    CMainTaskMenu(QWidget* owner, QPoint anchor);
    ~CMainTaskMenu() override;

    // Creates and shows a menu for `owner` at the cursor position `anchor` (screen
    // coordinates). Returns the menu, which lives until it closes; null when its skin
    // cannot be loaded.
    static CMainTaskMenu* Open(QWidget* owner, QPoint anchor);

    // Top-left corner of a menu of height `height` opened at `anchor`: 6 pixels right of
    // the cursor, its bottom edge 6 pixels above it. Not clamped to the screen.
    static QPoint menuPosition(QPoint anchor, int height);

    // The message an entry posts (0 for a name that is no entry).
    static int messageOfItem(const QString& itemName);

protected:
    QString GetSkinFile() override;
    QString getWindowClassName() const override;
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    void OnFinalMessage() override;
    void changeEvent(QEvent* event) override;

private:
    QPointer<QWidget> m_owner;
    QPoint m_anchor;
};

}  // namespace tolvex
