#include "ui/clip/CVideoPaintViewUI.h"

#include "app/PostedMessage.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace tolvex {

namespace {

const QColor kBackground(0x1E, 0x1E, 0x1E);
const QColor kTrack(0x3E, 0x9A, 0xFF);
const QColor kOutside(0xC2, 0xC2, 0xC2);
const QColor kFlag(0xFF, 0xD7, 0x64);
const QColor kFlagDragged(0xCA, 0x51, 0x00);

// The start flag points left of x, the end flag right of it.
void FillFlag(QPainter& painter, int x, int y, int direction, const QColor& colour)
{
    const int w = TimelineGeometry::kFlagWidth * direction;
    QPainterPath flag;
    flag.moveTo(x, y);
    flag.lineTo(x + w, y + 8);
    flag.lineTo(x + w, y + 16);
    flag.lineTo(x, y + 16);
    flag.closeSubpath();
    painter.fillPath(flag, colour);
}

void Line(QPainter& painter, const QColor& colour, int x1, int x2, int y)
{
    painter.setPen(QPen(colour, 2));
    painter.drawLine(x1, y, x2, y);
}

}  // namespace

CVideoPaintViewUI::CVideoPaintViewUI(const Names& names, QWidget* parent)
    : QWidget(parent),
      m_names(names),
      m_startBuffer(std::make_unique<double>(0.0)),
      m_endBuffer(std::make_unique<double>(0.0)),
      m_seekBuffer(std::make_unique<double>(0.0))
{
    setObjectName(QString::fromLatin1(names.interfaceName));
    setMouseTracking(true);
    setMinimumHeight(30);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QCoreApplication::translate("CVideoPaintViewUI", "时间轴"));
    setAccessibleDescription(
        QCoreApplication::translate("CVideoPaintViewUI", "点击轨道跳到该时间，拖动两面小旗选取片段的开始和结束"));
}

CVideoPaintViewUI::~CVideoPaintViewUI() = default;

QString CVideoPaintViewUI::GetClass() const
{
    return QString::fromLatin1(m_names.className);
}

QString CVideoPaintViewUI::GetInterface() const
{
    return QString::fromLatin1(m_names.interfaceName);
}

QSize CVideoPaintViewUI::sizeHint() const
{
    return {400, 30};
}

void CVideoPaintViewUI::SetDuration(double seconds)
{
    m_duration = seconds;
    update();
}

void CVideoPaintViewUI::setPosition(double seconds)
{
    m_position = seconds;
    update();
}

TimelineGeometry CVideoPaintViewUI::geometry() const
{
    const QRect r = rect();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void CVideoPaintViewUI::post(int number, double* buffer)
{
    QObject* target = m_dialog ? m_dialog.data() : window();
    PostMessageTo(target, number, nullptr, reinterpret_cast<intptr_t>(buffer));
}

void CVideoPaintViewUI::postSeek(int x)
{
    *m_seekBuffer = geometry().timeAt(x, m_duration);
    post(m_names.seekTo, m_seekBuffer.get());
}

void CVideoPaintViewUI::updateCursor(int x, int y)
{
    if (geometry().showsHandCursor(x, y))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void CVideoPaintViewUI::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    updateCursor(p.x(), p.y());
    if (event->button() != Qt::LeftButton)
        return;
    m_cursorX = p.x();
    m_buttonDown = true;
    m_pressFlag = flagAt(p);
    if (geometry().isSeekPress(p.x(), p.y()))
        postSeek(p.x());
}

void CVideoPaintViewUI::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    updateCursor(p.x(), p.y());
    m_cursorX = p.x();
    if (!m_buttonDown)
        return;
    if (m_draggingMarker) {
        // The flag follows in the paint, which also reports its time.
        repaint();
        return;
    }
    // The flag the button went down on, or the one under the pointer now: a quick hand is
    // often well past the small flag by the first move.
    Flag flag = m_pressFlag;
    m_pressFlag = Flag::None;
    if (flag == Flag::None)
        flag = flagAt(p);
    if (flag == Flag::Start)
        m_draggingMarker = m_draggingStart = m_startTouched = true;
    else if (flag == Flag::End)
        m_draggingMarker = m_draggingEnd = m_endTouched = true;
    if (m_draggingMarker)
        repaint();
}

CVideoPaintViewUI::Flag CVideoPaintViewUI::flagAt(QPoint p) const
{
    const int grace = TimelineGeometry::kFlagGrace;
    const bool inStart = m_startBox.contains(p.x(), p.y(), grace);
    const bool inEnd = m_endBox.contains(p.x(), p.y(), grace);
    // Where the grace zones of the two flags overlap, the nearer one is taken.
    if (inStart && inEnd)
        return p.x() > m_startBox.x + m_startBox.width ? Flag::End : Flag::Start;
    if (inStart)
        return Flag::Start;
    return inEnd ? Flag::End : Flag::None;
}

void CVideoPaintViewUI::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    updateCursor(p.x(), p.y());
    if (event->button() != Qt::LeftButton)
        return;
    if (m_buttonDown && m_draggingMarker && geometry().inTrackSpan(p.x()))
        postSeek(p.x());
    m_buttonDown = m_draggingMarker = m_draggingStart = m_draggingEnd = false;
    m_pressFlag = Flag::None;
    update();
}

void CVideoPaintViewUI::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const TimelineGeometry g = geometry();
    painter.fillRect(rect(), kBackground);
    Line(painter, kTrack, g.trackLeft(), g.trackRight(), g.trackY());

    const int y = g.markerY();
    if (!m_draggingStart) {
        const int x = g.restingStartX(m_startBox);
        FillFlag(painter, x, y, -1, kFlag);
        m_startBox = g.startBoxAt(x);
        Line(painter, kOutside, g.trackLeft(), x, g.trackY());
    }
    if (!m_draggingEnd) {
        const int x = g.restingEndX(m_endBox);
        FillFlag(painter, x, y, 1, kFlag);
        m_endBox = g.endBoxAt(x);
        Line(painter, kOutside, x, g.trackRight(), g.trackY());
    }

    const int dot = g.dotOffset(m_position, m_duration);
    if (dot >= 0) {
        painter.setPen(Qt::NoPen);
        QColor inner(0x2A, 0x8B, 0xF7, 240);
        QColor outer(0x3E, 0x9A, 0xFF, 130);
        painter.setBrush(inner);
        painter.drawEllipse(QRect(g.left + 14 + dot, g.top + 6, 4, 4));
        painter.setBrush(outer);
        painter.drawEllipse(QRect(g.left + 11 + dot, g.top + 3, 10, 10));
    }

    if (m_draggingStart) {
        const int x = g.draggedStartX(m_cursorX, m_endBox);
        FillFlag(painter, x, y, -1, kFlagDragged);
        m_startBox = g.startBoxAt(x);
        Line(painter, kOutside, g.trackLeft(), x, g.trackY());
        m_startTime = g.flagTimeAt(x, m_duration);
        *m_startBuffer = m_startTime;
        post(m_names.startChanged, m_startBuffer.get());
    }
    if (m_draggingEnd) {
        const int x = g.draggedEndX(m_cursorX, m_startBox);
        FillFlag(painter, x, y, 1, kFlagDragged);
        m_endBox = g.endBoxAt(x);
        Line(painter, kOutside, x, g.trackRight(), g.trackY());
        m_endTime = g.flagTimeAt(x, m_duration);
        *m_endBuffer = m_endTime;
        post(m_names.endChanged, m_endBuffer.get());
    }
}

}  // namespace tolvex
