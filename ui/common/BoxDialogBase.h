#pragma once

// What the message box and the prompt box share: one line of text given by the caller, a
// confirm button, no system caption, and a soft grey drop shadow.
//
// A box is created on the heap with its owner and text, created as a pop-up of a window of
// the caller's choice, centred and run modally; its modal result is its answer. It deletes
// itself after its final message, so the caller must not touch it once ShowModal returned.
// "msgConfirm" answers 1; Escape or the window manager's close answer 0.
//
// UI thread only.

#include "ui/common/WndShadow.h"
#include "ui/framework/WindowImplBase.h"

#include <QPointer>
#include <QString>

class QLabel;
class QAbstractButton;

namespace tolvex {

class BoxDialogBase : public WindowImplBase {
    Q_OBJECT

public:
    // The shadow of every box: 4 pixels on each side, centred, in this colour.
    static constexpr int kShadowSize = 4;
    static constexpr const char* kShadowColourText = "#9E9D9D";

    BoxDialogBase(QWidget* owner, const QString& text);
    ~BoxDialogBase() override;

    QWidget* owner() const { return m_owner; }
    const QString& text() const { return m_text; }
    const CWndShadow& shadow() const { return m_shadow; }

    // Reads "#RRGGBB" (hexadecimal, either case); false when the text is not such a colour.
    static bool parseColourText(const QString& text, QRgb* colour);

protected:
    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    void OnFinalMessage() override;
    void keyPressEvent(QKeyEvent* event) override;

    QLabel* m_msgText = nullptr;
    QAbstractButton* m_msgConfirm = nullptr;

private:
    QPointer<QWidget> m_owner;
    QString m_text;
    CWndShadow m_shadow;
};

}  // namespace tolvex
