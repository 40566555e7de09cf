#include "gui/shell/ToolDesc.h"

#include "gui/shell/UIResources.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

CToolDesc::CToolDesc(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
}

void CToolDesc::setDescription(const QString& caption, const QString& description)
{
    m_caption = caption;
    m_description = description;
    update();
}

void CToolDesc::setTaskName(const QString& name)
{
    m_taskName = name;
    update();
}

void CToolDesc::setTaskLocation(const QString& location)
{
    m_taskLocation = location;
    update();
}

void CToolDesc::setWarning(const QString& warning)
{
    m_warning = warning;
    update();
}

// The zones are given by their edges; the right and bottom edges are the
// first column and line outside, so neighbouring zones do not overlap.
namespace {
QRect zone(int left, int top, int right, int bottom)
{
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}
} // namespace

QRect CToolDesc::descriptionRect() const
{
    return zone(10, 10, width() - 200, height() - 30);
}

QRect CToolDesc::taskRect() const
{
    return zone(300, height() - 30, 600, height());
}

QRect CToolDesc::warningRect() const
{
    const int lineHeight = QFontMetrics(CUIResources::instance()->defaultFont()).height();
    return zone(50, height() - 34 - lineHeight, width() - 10, height() - 34);
}

QRect CToolDesc::locationRect() const
{
    return zone(600, height() - 30, width(), height());
}

void CToolDesc::paintEvent(QPaintEvent*)
{
    CUIResources* resources = CUIResources::instance();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(244, 248, 253));
    painter.setPen(CUIResources::frame());
    painter.drawLine(0, 0, width(), 0);

    // Title ornament: a small emblem and a fading rule under the caption.
    painter.drawPixmap(12, 14, resources->picture(QStringLiteral("logo"), QSize(30, 30)));
    QLinearGradient rule(50, 0, 450, 0);
    rule.setColorAt(0, CUIResources::panelText());
    rule.setColorAt(1, QColor(244, 248, 253));
    painter.fillRect(QRect(50, 48, 400, 2), rule);

    painter.setPen(CUIResources::panelText());
    painter.setFont(resources->titleFont());
    const QFontMetrics titleMetrics(resources->titleFont());
    painter.drawText(QPoint(50, 20 + titleMetrics.ascent()), m_caption);

    painter.setFont(resources->defaultFont());
    const QFontMetrics metrics(resources->defaultFont());
    int y = 54;
    // The description gives way to the warning.
    const int descriptionBottom = m_warning.isEmpty() ? descriptionRect().bottom() : warningRect().top();
    for (const QString& line : m_description.split(QLatin1Char('\n'))) {
        if (y + metrics.height() > descriptionBottom)
            break;
        painter.drawText(QRect(descriptionRect().left() + 40, y, descriptionRect().width() - 40, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, line);
        y += metrics.height();
    }

    if (!m_warning.isEmpty()) {
        painter.setPen(QColor(208, 0, 0));
        painter.drawText(warningRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         metrics.elidedText(m_warning, Qt::ElideRight, warningRect().width()));
    }

    const int lineY = height() - 31;
    painter.setPen(QColor(214, 226, 242));
    painter.drawLine(10, lineY, width() - 10, lineY);
    painter.setPen(CUIResources::panelText());
    painter.drawText(taskRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     metrics.elidedText(QStringLiteral("当前任务：") + m_taskName, Qt::ElideRight, taskRect().width()));
    painter.drawText(
        locationRect().adjusted(0, 0, -10, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        metrics.elidedText(QStringLiteral("位置：") + m_taskLocation, Qt::ElideMiddle, locationRect().width() - 10));
}

void CToolDesc::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const bool overZone = taskRect().contains(point) || locationRect().contains(point);
    setCursor(overZone ? CUIResources::instance()->handCursor() : CUIResources::instance()->arrowCursor());
}

void CToolDesc::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    if (taskRect().contains(point))
        emit taskZoneClicked();
    else if (locationRect().contains(point))
        emit locationZoneClicked();
}
