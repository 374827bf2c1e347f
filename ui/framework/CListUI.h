#pragma once

// The page list of a skinned window: a vertical, scrolling column of item widgets, each
// built from a list-item skin file and named "item-%d" with its task id. Items are
// added, inserted, removed, moved and found by name; one item may be current
// ("selected" property true, for the theme). An empty list shows a hint text.
//
// A removed item is detached at once (no longer found, counted or shown) and deleted
// when control returns to the event loop, so a handler may remove the item whose button
// sent the notification it is handling.
// Thread use: UI thread only.

#include <QScrollArea>
#include <QString>

class QLabel;
class QVBoxLayout;

namespace tolvex {

class CListUI : public QScrollArea {
    Q_OBJECT
    Q_PROPERTY(QString emptyText READ emptyText WRITE setEmptyText)

public:
    explicit CListUI(QWidget* parent = nullptr);

    int count() const;
    QWidget* itemAt(int index) const;
    int indexOf(const QWidget* item) const;
    // The item named `name` (direct items only), or null.
    QWidget* findItem(const QString& name) const;

    // The widget items live in. An item built as its child joins the list without being
    // re-styled, which is most of the cost of adding one.
    QWidget* itemParent() const { return m_content; }

    void addItem(QWidget* item);
    // Inserts at `index` (clamped to 0..count()).
    void insertItem(int index, QWidget* item);
    bool removeItem(QWidget* item);
    bool removeAt(int index);
    void removeAll();
    // Moves the item at `from` to position `to`; false when either is out of range.
    bool moveItem(int from, int to);
    bool swapItems(int first, int second);

    int currentIndex() const { return m_current; }
    // Makes `index` current (-1: none); emits itemSelected when it changed.
    void setCurrentIndex(int index);

    QString emptyText() const;
    void setEmptyText(const QString& text);

signals:
    void itemSelected(int index);
    void itemClicked(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void detach(QWidget* item);
    void refreshEmptyHint();
    void growToFit();
    void markCurrent(int index, bool current);

    QWidget* m_content;
    QVBoxLayout* m_layout;
    QLabel* m_emptyHint;
    QList<QWidget*> m_items;
    int m_current = -1;
};

}  // namespace tolvex
