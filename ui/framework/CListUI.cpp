#include "ui/framework/CListUI.h"

#include "ui/framework/Controls.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <limits>

namespace tolvex {

namespace {

constexpr int kMargin = 8;
constexpr int kSpacing = 8;
// Items within this many view heights above or below the view are shown, so that
// scrolling finds them styled and laid out.
constexpr int kShowScreens = 1;
constexpr int kNothingToPlace = std::numeric_limits<int>::max();

// The item's own fixed height, or -1 when it sizes itself.
int FixedHeight(const QWidget* item)
{
    const int height = item->minimumHeight();
    return height > 0 && height == item->maximumHeight() ? height : -1;
}

// The height a vertical box layout gives the item at `width`: its size hint within its
// limits.
int LaidOutHeight(const QWidget* item, int width)
{
    const int hint = item->hasHeightForWidth() ? item->heightForWidth(width)
                                               : item->sizeHint().expandedTo(item->minimumSizeHint()).height();
    return std::clamp(hint, item->minimumHeight(), std::max(item->minimumHeight(), item->maximumHeight()));
}

// A new widget asks to be styled at the next turn of the event loop, shown or not. An
// item that stays hidden drops those requests: it is styled when it is first shown.
void PostponeStyle(QWidget* item)
{
    QCoreApplication::removePostedEvents(item, QEvent::PolishRequest);
    const QList<QWidget*> controls = item->findChildren<QWidget*>();
    for (QWidget* control : controls)
        QCoreApplication::removePostedEvents(control, QEvent::PolishRequest);
}

}  // namespace

CListUI::CListUI(QWidget* parent) : QScrollArea(parent), m_content(new QWidget), m_emptyHint(new QLabel)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_content->setObjectName(QStringLiteral("list-content"));
    // Items are stacked from the top: when the column grows, only the new part needs
    // painting, not every item in view again.
    m_content->setAttribute(Qt::WA_StaticContents);
    m_emptyHint->setParent(m_content);
    m_emptyHint->setObjectName(QStringLiteral("list-empty-hint"));
    m_emptyHint->setAlignment(Qt::AlignCenter);
    m_emptyHint->setWordWrap(true);
    setWidget(m_content);
    m_content->installEventFilter(this);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { updateShownItems(); });
    refreshEmptyHint();
}

int CListUI::count() const
{
    return static_cast<int>(m_entries.size());
}

QWidget* CListUI::itemAt(int index) const
{
    return index >= 0 && index < count() ? m_entries[static_cast<size_t>(index)].item : nullptr;
}

int CListUI::indexOf(const QWidget* item) const
{
    const auto found =
        std::find_if(m_entries.begin(), m_entries.end(), [item](const Entry& entry) { return entry.item == item; });
    return found == m_entries.end() ? -1 : static_cast<int>(found - m_entries.begin());
}

QWidget* CListUI::findItem(const QString& name) const
{
    for (const Entry& entry : m_entries) {
        if (entry.item->objectName() == name)
            return entry.item;
    }
    return nullptr;
}

bool CListUI::isItemShown(int index) const
{
    return index >= 0 && index < count() && m_entries[static_cast<size_t>(index)].shown;
}

void CListUI::addItem(QWidget* item)
{
    insertItem(count(), item);
}

void CListUI::insertItem(int index, QWidget* item)
{
    if (!item || indexOf(item) >= 0)
        return;
    index = std::clamp(index, 0, count());
    // Lets the theme draw items as cards.
    item->setProperty("listItem", true);
    item->setAttribute(Qt::WA_StyledBackground, true);
    if (item->parentWidget() != m_content)
        item->setParent(m_content);
    // Hidden on purpose: showing the column must not show (and style) every item.
    item->hide();
    item->installEventFilter(this);

    Entry entry;
    entry.item = item;
    const int fixed = FixedHeight(item);
    entry.fixed = fixed > 0;
    entry.height = entry.fixed ? fixed : 0;
    m_entries.insert(m_entries.begin() + index, entry);
    if (m_current >= index)
        ++m_current;
    refreshEmptyHint();
    placeFrom(index);
    // Only this item can have come into view; the others kept their places or moved down,
    // away from it.
    const Entry& placed = m_entries[static_cast<size_t>(index)];
    if (!placed.fixed || isNearView(placed))
        showEntry(index);
    else
        PostponeStyle(item);
    emit itemsChanged();
}

bool CListUI::removeItem(QWidget* item)
{
    const int index = indexOf(item);
    if (index < 0)
        return false;
    m_entries.erase(m_entries.begin() + index);
    if (m_current == index) {
        m_current = -1;
    } else if (m_current > index) {
        --m_current;
    }
    detach(item);
    refreshEmptyHint();
    placeFrom(index);
    updateShownItems();
    emit itemsChanged();
    return true;
}

bool CListUI::removeAt(int index)
{
    return removeItem(itemAt(index));
}

void CListUI::removeAll()
{
    const std::vector<Entry> entries = std::move(m_entries);
    m_entries.clear();
    m_current = -1;
    for (const Entry& entry : entries)
        detach(entry.item);
    refreshEmptyHint();
    placeFrom(0);
    if (!entries.empty())
        emit itemsChanged();
}

bool CListUI::moveItem(int from, int to)
{
    if (from < 0 || from >= count() || to < 0 || to >= count())
        return false;
    if (from == to)
        return true;
    QWidget* current = itemAt(m_current);
    const Entry moved = m_entries[static_cast<size_t>(from)];
    m_entries.erase(m_entries.begin() + from);
    m_entries.insert(m_entries.begin() + to, moved);
    m_current = current ? indexOf(current) : -1;
    placeFrom(std::min(from, to));
    updateShownItems();
    emit itemsChanged();
    return true;
}

bool CListUI::swapItems(int first, int second)
{
    if (first < 0 || first >= count() || second < 0 || second >= count())
        return false;
    if (first == second)
        return true;
    const int low = std::min(first, second);
    const int high = std::max(first, second);
    moveItem(high, low);
    moveItem(low + 1, high);
    return true;
}

void CListUI::setCurrentIndex(int index)
{
    if (index < -1 || index >= count() || index == m_current)
        return;
    markCurrent(m_current, false);
    m_current = index;
    markCurrent(m_current, true);
    emit itemSelected(index);
}

QString CListUI::emptyText() const
{
    return m_emptyHint->text();
}

void CListUI::setEmptyText(const QString& text)
{
    m_emptyHint->setText(text);
    refreshEmptyHint();
}

bool CListUI::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_content) {
        if (event->type() == QEvent::Resize) {
            const auto* resize = static_cast<QResizeEvent*>(event);
            m_emptyHint->setGeometry(m_content->rect().adjusted(kMargin, kMargin, -kMargin, -kMargin));
            if (resize->oldSize().width() != resize->size().width())
                placeFrom(0);
            updateShownItems();
        } else if (event->type() == QEvent::LayoutRequest) {
            remeasure();
        }
    } else if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int index = indexOf(qobject_cast<QWidget*>(watched));
        if (index >= 0 && (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton)) {
            setCurrentIndex(index);
            emit itemClicked(index);
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

void CListUI::showEvent(QShowEvent* event)
{
    QScrollArea::showEvent(event);
    // Items that size themselves were measured with their controls hidden.
    remeasure();
    updateShownItems();
}

void CListUI::detach(QWidget* item)
{
    item->removeEventFilter(this);
    item->hide();
    // Out of the tree at once, so name searches no longer find it; deleted later because
    // the caller may be running inside a signal of one of the item's buttons.
    item->setParent(nullptr);
    item->deleteLater();
}

void CListUI::refreshEmptyHint()
{
    m_emptyHint->setVisible(m_entries.empty() && !m_emptyHint->text().isEmpty());
}

void CListUI::markCurrent(int index, bool current)
{
    if (index < 0 || index >= count())
        return;
    const Entry& entry = m_entries[static_cast<size_t>(index)];
    entry.item->setProperty("selected", current);
    // A hidden item is styled with its new state when it is shown.
    if (entry.shown)
        RepolishControl(entry.item);
}

void CListUI::placeFrom(int index)
{
    // Sizing the column can resize the view (a scroll bar comes or goes), which asks for
    // a new placing from inside this one: it is folded into the loop.
    m_placeFrom = std::min(m_placeFrom, std::clamp(index, 0, count()));
    if (m_placing)
        return;
    m_placing = true;
    while (m_placeFrom <= count()) {
        const int from = std::min(m_placeFrom, count());
        m_placeFrom = kNothingToPlace;
        int top = kMargin;
        if (from > 0) {
            const Entry& previous = m_entries[static_cast<size_t>(from - 1)];
            top = previous.top + previous.height + kSpacing;
        }
        for (size_t i = static_cast<size_t>(from); i < m_entries.size(); ++i) {
            Entry& entry = m_entries[i];
            entry.top = top;
            placeItem(entry);
            top += entry.height + kSpacing;
        }
        sizeColumn(m_entries.empty() ? 0 : top - kSpacing + kMargin);
    }
    m_placing = false;
}

void CListUI::placeItem(const Entry& entry) const
{
    const QWidget* item = entry.item;
    const int width = std::max(item->minimumWidth(), std::min(itemWidth(), item->maximumWidth()));
    const QRect place(kMargin, entry.top, width, entry.height);
    if (entry.item->geometry() != place)
        entry.item->setGeometry(place);
}

void CListUI::sizeColumn(int height)
{
    if (height == m_columnHeight)
        return;
    m_columnHeight = height;
    // The scroll area keeps the column at least as tall as the view.
    m_content->setMinimumHeight(height);
    const int wanted = std::max(height, viewport()->height());
    if (m_content->height() != wanted)
        m_content->resize(m_content->width(), wanted);
}

int CListUI::itemWidth() const
{
    return std::max(0, m_content->width() - 2 * kMargin);
}

int CListUI::firstEntryBelow(int y) const
{
    // The first item whose bottom edge is at or below `y`.
    const auto found = std::lower_bound(m_entries.begin(), m_entries.end(), y,
                                        [](const Entry& entry, int edge) { return entry.top + entry.height < edge; });
    return static_cast<int>(found - m_entries.begin());
}

bool CListUI::isNearView(const Entry& entry) const
{
    if (!isVisible())
        return false;
    const int viewTop = -m_content->y();
    const int viewHeight = std::max(1, viewport()->height());
    return entry.top <= viewTop + viewHeight * (1 + kShowScreens) &&
           entry.top + entry.height >= viewTop - viewHeight * kShowScreens;
}

void CListUI::updateShownItems()
{
    if (!isVisible() || m_entries.empty())
        return;
    const int viewTop = -m_content->y();
    const int viewHeight = std::max(1, viewport()->height());
    const int showFrom = viewTop - viewHeight * kShowScreens;
    const int showTo = viewTop + viewHeight * (1 + kShowScreens);
    for (int i = firstEntryBelow(showFrom); i < count() && m_entries[static_cast<size_t>(i)].top <= showTo; ++i)
        showEntry(i);
}

void CListUI::showEntry(int index)
{
    Entry& entry = m_entries[static_cast<size_t>(index)];
    if (entry.shown)
        return;
    entry.shown = true;
    entry.item->show();
    // Styling may have changed what the item asks for.
    const int fixed = FixedHeight(entry.item);
    entry.fixed = fixed > 0;
    const int height = entry.fixed ? fixed : LaidOutHeight(entry.item, itemWidth());
    if (height != entry.height) {
        entry.height = height;
        placeFrom(index);
    } else {
        placeItem(entry);
    }
}

void CListUI::remeasure()
{
    for (int i = 0; i < count(); ++i) {
        Entry& entry = m_entries[static_cast<size_t>(i)];
        if (!entry.shown || entry.fixed)
            continue;
        const int height = LaidOutHeight(entry.item, itemWidth());
        if (height != entry.height) {
            entry.height = height;
            placeFrom(i);
        }
    }
}

}  // namespace tolvex
