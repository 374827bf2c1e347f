#pragma once

// The drop-down of the skins: a QComboBox that leaves its pop-up list unbuilt until it is
// first opened. Under the application's style sheet, a new QComboBox builds its pop-up
// (a frame, a list view and its scrollers) while it is polished, which is most of what
// a list item costs: with hundreds of items, most pop-ups are never opened. Style, font
// and palette changes that come before the box is first shown are held back and replayed,
// in order, when the pop-up is first opened; later ones pass straight through.
// Thread use: UI thread only.

#include <QComboBox>
#include <QEvent>

#include <vector>

namespace tolvex {

class SkinComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit SkinComboBox(QWidget* parent = nullptr);

    void showPopup() override;

    // True once the held-back changes reached QComboBox (the pop-up is built).
    bool popupPrepared() const { return !m_holding; }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void replayHeldChanges();

    bool m_holding = true;
    bool m_shown = false;
    std::vector<QEvent::Type> m_held;
};

}  // namespace tolvex
