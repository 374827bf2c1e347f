#pragma once

// The page list of a skinned window: a vertical, scrolling column of item widgets, each
// built from a list-item skin file and named "item-%d" with its task id. Items are
// added, inserted, removed, moved and found by name; one item may be current
// ("selected" property true, for the theme). An empty list shows a hint text.
//
// Items are stacked by the list itself, top to bottom with a fixed margin and spacing.
// An item whose height is fixed (minimum height equal to maximum height, as every
// list-item skin has) is only shown, and so only styled, once it comes near the view:
// adding a thousand files styles and lays out the few items the user can see, and
// adding one more touches no earlier item. A shown item stays shown. An item without a
// fixed height is shown at once and measured.
// Hidden or not, every item is a child of itemParent() with its controls, so it is found,
// filled and tagged as usual.
//
// A removed item is detached at once (no longer found, counted or shown) and deleted
// when control returns to the event loop, so a handler may remove the item whose button
// sent the notification it is handling.
// Thread use: UI thread only.

#include <QScrollArea>
#include <QString>

#include <limits>
#include <vector>

class QLabel;

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
    // re-parented.
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

    // Whether the item at `index` is shown (near the view of a visible list).
    bool isItemShown(int index) const;

signals:
    void itemSelected(int index);
    void itemClicked(int index);
    // Items were added, removed or moved.
    void itemsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Entry {
        QWidget* item = nullptr;
        int top = 0;
        int height = 0;
        bool fixed = false;  // the height is the item's own fixed height
        bool shown = false;
    };

    void detach(QWidget* item);
    void refreshEmptyHint();
    void markCurrent(int index, bool current);
    // Restacks the items from `index` on and sizes the column to hold them all.
    void placeFrom(int index);
    void placeItem(const Entry& entry) const;
    void sizeColumn(int height);
    // Shows the items near the view and hides those far from it.
    void updateShownItems();
    bool isNearView(const Entry& entry) const;
    void showEntry(int index);
    // Heights of the shown items that size themselves, after one of them changed.
    void remeasure();
    int itemWidth() const;
    int firstEntryBelow(int y) const;

    QWidget* m_content;
    QLabel* m_emptyHint;
    std::vector<Entry> m_entries;
    int m_current = -1;
    int m_columnHeight = 0;
    bool m_placing = false;
    int m_placeFrom = std::numeric_limits<int>::max();  // the first item to restack; past the end: none
};

}  // namespace tolvex
