#include "gui/shell/ToolBox.h"

#include "gui/shell/UIResources.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kIconSize = 40;
}

CToolBox::CToolBox(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
}

const std::vector<StepCommand>& CToolBox::commands() const
{
    layoutCells();
    return m_commands;
}

void CToolBox::clear()
{
    m_commands.clear();
    m_layoutWidth = -1;
    m_hovered = -1;
    update();
}

void CToolBox::addCommand(const QString& icon, int command, const QString& caption)
{
    m_commands.push_back({icon, command, caption, false, {}});
    m_layoutWidth = -1;
    update();
}

void CToolBox::addLineBreak()
{
    m_commands.push_back({{}, 0, {}, true, {}});
    m_layoutWidth = -1;
    update();
}

int CToolBox::columnCount() const
{
    return std::max(1, (width() - kOrigin) / (kCellWidth + kGap));
}

void CToolBox::layoutCells() const
{
    if (m_layoutWidth == width())
        return;
    m_layoutWidth = width();
    const int columns = columnCount();
    int column = 0;
    int y = kOrigin;
    for (StepCommand& c : m_commands) {
        if (c.lineBreak) {
            c.rect = QRect();
            if (column > 0) {
                column = 0;
                y += kCellHeight + kGap;
            }
            continue;
        }
        if (column == columns) {
            column = 0;
            y += kCellHeight + kGap;
        }
        c.rect = QRect(kOrigin + column * (kCellWidth + kGap), y, kCellWidth, kCellHeight);
        ++column;
    }
}

QRect CToolBox::commandRect(int command) const
{
    layoutCells();
    for (const StepCommand& c : m_commands) {
        if (!c.lineBreak && c.command == command)
            return c.rect;
    }
    return {};
}

int CToolBox::cellAt(const QPoint& point) const
{
    layoutCells();
    for (std::size_t i = 0; i < m_commands.size(); ++i) {
        if (!m_commands[i].lineBreak && m_commands[i].rect.contains(point))
            return static_cast<int>(i);
    }
    return -1;
}

int CToolBox::commandAt(const QPoint& point) const
{
    const int cell = cellAt(point);
    return cell < 0 ? -1 : m_commands[static_cast<std::size_t>(cell)].command;
}

void CToolBox::paintEvent(QPaintEvent*)
{
    CUIResources* resources = CUIResources::instance();
    layoutCells();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    painter.setFont(resources->defaultFont());
    for (std::size_t i = 0; i < m_commands.size(); ++i) {
        const StepCommand& c = m_commands[i];
        if (c.lineBreak)
            continue;
        if (static_cast<int>(i) == m_hovered) {
            QLinearGradient glow(c.rect.topLeft(), c.rect.bottomLeft());
            glow.setColorAt(0, QColor(236, 244, 255));
            glow.setColorAt(1, QColor(208, 226, 250));
            painter.setPen(QPen(QColor(132, 172, 224), 1));
            painter.setBrush(glow);
            painter.drawRoundedRect(QRectF(c.rect).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        }
        painter.drawPixmap(c.rect.left() + 5, c.rect.top() + 8,
                           resources->picture(c.icon, QSize(kIconSize, kIconSize)));
        painter.setPen(Qt::black);
        painter.drawText(QRect(c.rect.left() + 50, c.rect.top(), c.rect.width() - 50, c.rect.height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, c.caption);
    }
}

void CToolBox::resizeEvent(QResizeEvent*)
{
    layoutCells();
    update();
}

void CToolBox::mouseMoveEvent(QMouseEvent* event)
{
    const int cell = cellAt(event->position().toPoint());
    setCursor(cell >= 0 ? CUIResources::instance()->handCursor() : CUIResources::instance()->arrowCursor());
    if (cell != m_hovered) {
        m_hovered = cell;
        update();
    }
}

void CToolBox::leaveEvent(QEvent*)
{
    if (m_hovered != -1) {
        m_hovered = -1;
        update();
    }
}

void CToolBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int command = commandAt(event->position().toPoint());
    if (command >= 0)
        emit commandChosen(command);
}
