#include "gui/shell/SheetHeader.h"

#include "base/util/TextCodec.h"
#include "gui/shell/UIResources.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kFirstTabX = 20;

// A tab is as wide as its caption is long in the files' code page.
int tabWidth(const QString& caption)
{
    return 10 * static_cast<int>(CTextCodec::ToGbk(caption.toStdString()).size()) + 18;
}

void drawTab(QPainter& painter, const QRect& rect, bool selected)
{
    QPainterPath path;
    const QRectF r = QRectF(rect).adjusted(1.5, 3.5, -1.5, 0.5);
    constexpr qreal radius = 6;
    path.moveTo(r.left(), r.bottom());
    path.lineTo(r.left(), r.top() + radius);
    path.quadTo(r.left(), r.top(), r.left() + radius, r.top());
    path.lineTo(r.right() - radius, r.top());
    path.quadTo(r.right(), r.top(), r.right(), r.top() + radius);
    path.lineTo(r.right(), r.bottom());
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    if (selected) {
        fill.setColorAt(0, QColor(255, 255, 255));
        fill.setColorAt(1, QColor(255, 255, 255));
        painter.setPen(QPen(CUIResources::frame(), 1));
    } else {
        fill.setColorAt(0, QColor(96, 150, 214));
        fill.setColorAt(1, QColor(52, 108, 178));
        painter.setPen(QPen(QColor(40, 88, 150), 1));
    }
    painter.setBrush(fill);
    painter.drawPath(path);
}
} // namespace

CSheetHeader::CSheetHeader(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setFixedHeight(kHeight);
}

int CSheetHeader::addPage(const QString& caption, const QString& description)
{
    StepPage page;
    page.index = pageCount();
    page.caption = caption;
    page.description = description;
    const int left = m_pages.empty() ? kFirstTabX : m_pages.back().rect.right() + 1;
    page.rect = QRect(left, 0, tabWidth(caption), kHeight);
    m_pages.push_back(page);
    update();
    return page.index;
}

void CSheetHeader::selectPage(int index)
{
    if (index < 0 || index >= pageCount() || index == m_current)
        return;
    m_current = index;
    update();
    emit pageSelected(index);
    const StepPage& selected = page(index);
    emit describe(selected.caption, selected.description);
}

int CSheetHeader::pageAt(const QPoint& point) const
{
    for (const StepPage& p : m_pages) {
        if (p.rect.contains(point))
            return p.index;
    }
    return -1;
}

void CSheetHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient strip(0, 0, 0, height());
    strip.setColorAt(0, QColor(236, 242, 250));
    strip.setColorAt(1, QColor(214, 226, 242));
    painter.fillRect(rect(), strip);
    painter.setPen(CUIResources::frame());
    painter.drawLine(0, height() - 1, width(), height() - 1);

    painter.setFont(CUIResources::instance()->defaultFont());
    for (const StepPage& p : m_pages) {
        const bool selected = p.index == m_current;
        drawTab(painter, p.rect, selected);
        painter.setPen(selected ? Qt::black : Qt::white);
        painter.drawText(p.rect.adjusted(0, 3, 0, 0), Qt::AlignCenter, p.caption);
    }
}

void CSheetHeader::mouseMoveEvent(QMouseEvent* event)
{
    setCursor(pageAt(event->position().toPoint()) >= 0 ? CUIResources::instance()->handCursor()
                                                       : CUIResources::instance()->arrowCursor());
}

void CSheetHeader::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int index = pageAt(event->position().toPoint());
    if (index >= 0)
        selectPage(index);
}
