#pragma once

// What the message box and the prompt box share: the caller's text and file names, a
// confirm button, no system caption, and a soft grey drop shadow.
//
// The box grows with its text: as wide as its longest line needs, up to kMaxTextWidth (or
// most of the screen), then as high as the wrapped text needs, up to most of the screen's
// height; never smaller than its skin. The file names stand one a line under the text; a
// name wider than the box is cut in its middle ("…") and the text's tool tip holds every
// name whole. Text with names or line breaks is set flush left, a single paragraph centred.
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
#include <QStringList>

class QLabel;
class QAbstractButton;

namespace tolvex {

class BoxDialogBase : public WindowImplBase {
    Q_OBJECT

public:
    // The shadow of every box: 4 pixels on each side, centred, in this colour.
    static constexpr int kShadowSize = 4;
    static constexpr const char* kShadowColourText = "#9E9D9D";

    // The widest the text may grow before it wraps, in pixels.
    static constexpr int kMaxTextWidth = 560;

    BoxDialogBase(QWidget* owner, const QString& text, QStringList fileNames = {});
    ~BoxDialogBase() override;

    QWidget* owner() const { return m_owner; }
    const QString& text() const { return m_text; }
    const QStringList& fileNames() const { return m_fileNames; }
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
    // Fills the text control and sizes the box to it.
    void showText();

    QPointer<QWidget> m_owner;
    QString m_text;
    QStringList m_fileNames;
    CWndShadow m_shadow;
};

}  // namespace tolvex
