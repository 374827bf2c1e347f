#pragma once

// Base of every skinned window: a top-level Qt widget whose content is built from a skin
// file, whose controls are found by name, and whose user actions arrive as one Notify
// call each (type and sender, see TNotifyUI.h).
//
// A window class derives from WindowImplBase (with Q_OBJECT, so its class name is known)
// and supplies GetSkinFile and GetWindowClassName; it may override InitWindow (find the
// controls), Notify (handle, then pass on to WindowImplBase::Notify), HandleCustomMessage
// (posted messages, see app/PostedMessage.h), CreateControl (the builder callback for the
// program's own control classes), OnDestroy (clean-up when the window closes) and
// OnFinalMessage (last call; a heap window deletes itself here).
//
// Life: Create builds the content and runs InitWindow; Close(value) (or the window
// manager's close button, value 0) hides the window and runs OnDestroy at once; the
// final message follows from the event loop, after which the object may be deleted.
// ShowModal runs a nested event loop until Close and returns Close's value; it may be
// used on a window that deletes itself in OnFinalMessage.
//
// The skin file, initialisation and final-message operations are guarded: an exception
// escaping them becomes WindowMethodError("Class::GetSkinFile" / "Class::Init" /
// "Class::OnFinalMessage"). Create lets the first two propagate to its caller; the final
// message runs from the event loop, where the error is logged instead.
//
// Frameless windows: when the skin's root widget has the property "caption" (a height in
// pixels), the window has no system frame; a press in that top band that no control
// takes moves the window, and the controls "closebtn", "minbtn", "maxbtn", "restorebtn"
// act as the window buttons (WindowImplBase::Notify).
// Thread use: UI thread only, except PostMessageTo (any thread).

#include "app/PostedMessage.h"
#include "ui/framework/TNotifyUI.h"
#include "ui/framework/WindowStyle.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>

class QEventLoop;

namespace tolvex {

class WindowImplBase : public QWidget {
    Q_OBJECT

public:
    WindowImplBase();
    ~WindowImplBase() override;

    // Builds the window from its skin file and runs InitWindow. Visible at the next turn of
    // the event loop when `style` has WS_VISIBLE (unless shown or closed before). Returns
    // false when the skin file cannot be loaded.
    bool Create(QWidget* parent, const QString& title, uint32_t style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                uint32_t exStyle = WS_EX_WINDOWEDGE);
    // Centres the window over its parent window, or on the screen without one.
    void CenterWindow();
    // Shows the window modal to the application and waits for Close; returns its value.
    int ShowModal();
    void ShowWindow(bool show = true, bool takeFocus = true);
    // Closes the window; ShowModal returns `value`.
    void Close(int value = 1);
    QWidget* GetHWND() { return this; }
    bool isClosed() const { return m_closed; }

    // The control named `name` in this window (any depth), or null.
    QWidget* FindControl(const QString& name) const;
    template <class T>
    T* findControlAs(const QString& name) const
    {
        return qobject_cast<T*>(FindControl(name));
    }
    // Builds a further skin file (a list item) with this window's builder callback and
    // routes its controls' notifications to this window. Null on failure.
    QWidget* buildFromSkin(const QString& skinFile, QWidget* parent = nullptr);
    // Routes the notifications of `root` and all controls below it to this window. Done
    // for the window's own skin; call it for controls made in code.
    void bindNotifications(QWidget* root);

    // The C++ class name without namespace ("CMainWnd"), as used in guard texts.
    QString className() const;

protected:
    virtual QString GetSkinFile() = 0;
    virtual QString getWindowClassName() const = 0;
    virtual void InitWindow() {}
    virtual void Notify(TNotifyUI& msg);
    // A posted message; return true when handled.
    virtual bool HandleCustomMessage(MessageEvent& message) { return false; }
    // Builder callback: a new control for a class the skin names, or null.
    virtual QWidget* createControl(const QString& className, QWidget* parent) { return nullptr; }
    virtual void onDestroy() {}
    virtual void OnFinalMessage() {}

    // Sends a notification to this window's Notify (used by the signal bindings).
    void sendNotify(const QString& type, QWidget* sender, intptr_t wParam = 0, intptr_t lParam = 0);

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void bindControl(QWidget* control);
    void finishClose(int value);
    void runFinalMessage();
    void updateMaxRestoreButtons();

    QWidget* m_root = nullptr;
    int m_captionHeight = 0;
    bool m_closed = false;
    bool m_pendingShow = false;
    int m_closeValue = 0;
    QEventLoop* m_modalLoop = nullptr;
    int* m_modalResult = nullptr;
};

}  // namespace tolvex
