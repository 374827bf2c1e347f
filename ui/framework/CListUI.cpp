#include "ui/framework/CListUI.h"

#include "ui/framework/Controls.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace tolvex {

CListUI::CListUI(QWidget* parent)
    : QScrollArea(parent), m_content(new QWidget), m_layout(new QVBoxLayout(m_content)), m_emptyHint(new QLabel)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_content->setObjectName(QStringLiteral("list-content"));
    // Items are stacked from the top: when the column grows, only the new part needs
    // painting, not every item in view again.
    m_content->setAttribute(Qt::WA_StaticContents);
    m_layout->setContentsMargins(8, 8, 8, 8);
    m_layout->setSpacing(8);
    m_emptyHint->setObjectName(QStringLiteral("list-empty-hint"));
    m_emptyHint->setAlignment(Qt::AlignCenter);
    m_emptyHint->setWordWrap(true);
    m_layout->addWidget(m_emptyHint, 1);
    m_layout->addStretch(0);
    setWidget(m_content);
    refreshEmptyHint();
}

int CListUI::count() const
{
    return static_cast<int>(m_items.size());
}

QWidget* CListUI::itemAt(int index) const
{
    return index >= 0 && index < count() ? m_items.at(index) : nullptr;
}

int CListUI::indexOf(const QWidget* item) const
{
    return static_cast<int>(m_items.indexOf(const_cast<QWidget*>(item)));
}

QWidget* CListUI::findItem(const QString& name) const
{
    for (QWidget* item : m_items) {
        if (item->objectName() == name)
            return item;
    }
    return nullptr;
}

void CListUI::addItem(QWidget* item)
{
    insertItem(count(), item);
}

void CListUI::insertItem(int index, QWidget* item)
{
    if (!item || m_items.contains(item))
        return;
    index = std::clamp(index, 0, count());
    // Lets the theme draw items as cards.
    item->setProperty("listItem", true);
    item->setAttribute(Qt::WA_StyledBackground, true);
    // Showing an item lays the column out at once. The column must already have its new
    // height then: at the old one the layout squeezes and moves every item, repaints them
    // all, and moves them back when the scroll area catches up. So the item is styled and
    // counted (while still hidden) first, and the column grown to fit it.
    const QSizePolicy policy = item->sizePolicy();
    QSizePolicy counted = policy;
    counted.setRetainSizeWhenHidden(true);
    item->setSizePolicy(counted);
    // The hint occupies layout slot 0; items follow it.
    m_layout->insertWidget(index + 1, item);
    m_items.insert(index, item);
    item->installEventFilter(this);
    item->ensurePolished();
    growToFit();
    item->show();
    item->setSizePolicy(policy);
    if (m_current >= index)
        ++m_current;
    refreshEmptyHint();
}

void CListUI::growToFit()
{
    const int width = m_content->width();
    const int needed = m_layout->hasHeightForWidth() ? m_layout->totalHeightForWidth(width)
                                                     : m_layout->totalSizeHint().height();
    if (needed > m_content->height())
        m_content->resize(width, needed);
}

bool CListUI::removeItem(QWidget* item)
{
    const int index = indexOf(item);
    if (index < 0)
        return false;
    m_items.removeAt(index);
    if (m_current == index) {
        m_current = -1;
    } else if (m_current > index) {
        --m_current;
    }
    detach(item);
    refreshEmptyHint();
    return true;
}

bool CListUI::removeAt(int index)
{
    return removeItem(itemAt(index));
}

void CListUI::removeAll()
{
    const QList<QWidget*> items = m_items;
    m_items.clear();
    m_current = -1;
    for (QWidget* item : items)
        detach(item);
    refreshEmptyHint();
}

bool CListUI::moveItem(int from, int to)
{
    if (from < 0 || from >= count() || to < 0 || to >= count())
        return false;
    if (from == to)
        return true;
    QWidget* item = m_items.at(from);
    QWidget* current = itemAt(m_current);
    m_items.move(from, to);
    m_layout->removeWidget(item);
    m_layout->insertWidget(to + 1, item);
    m_current = current ? indexOf(current) : -1;
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
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int index = indexOf(qobject_cast<QWidget*>(watched));
        if (index >= 0 && (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton)) {
            setCurrentIndex(index);
            emit itemClicked(index);
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

void CListUI::detach(QWidget* item)
{
    item->removeEventFilter(this);
    m_layout->removeWidget(item);
    item->hide();
    // Out of the tree at once, so name searches no longer find it; deleted later because
    // the caller may be running inside a signal of one of the item's buttons.
    item->setParent(nullptr);
    item->deleteLater();
}

void CListUI::refreshEmptyHint()
{
    m_emptyHint->setVisible(m_items.isEmpty() && !m_emptyHint->text().isEmpty());
}

void CListUI::markCurrent(int index, bool current)
{
    if (QWidget* item = itemAt(index)) {
        item->setProperty("selected", current);
        RepolishControl(item);
    }
}

}  // namespace tolvex
