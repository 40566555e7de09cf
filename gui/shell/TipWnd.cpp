#include "gui/shell/TipWnd.h"

#include "gui/shell/UIResources.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int kInset = 3;

QFont titleFontOf(const QFont& base)
{
    QFont font = base;
    font.setBold(true);
    return font;
}
} // namespace

CTipWnd::CTipWnd(QWidget* parent) : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(CUIResources::instance()->defaultFont());
}

void CTipWnd::show(int x, int y, const QString& title, const QString& text)
{
    m_title = title;
    m_text = text;
    const QFontMetrics metrics(font());
    const QFontMetrics titleMetrics(titleFontOf(font()));
    m_lineHeight = metrics.height();
    m_titleHeight = title.isEmpty() ? 0 : titleMetrics.height();

    int width = title.isEmpty() ? 0 : titleMetrics.horizontalAdvance(title);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const int height = m_lineHeight * static_cast<int>(lines.size()) + m_titleHeight;

    setGeometry(x, y, width + 2 * kInset, height + 2 * kInset);
    QWidget::show();
    raise();
    update();
}

void CTipWnd::hide()
{
    QWidget::hide();
}

void CTipWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(255, 255, 225));
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    int y = kInset;
    if (!m_title.isEmpty()) {
        painter.setFont(titleFontOf(font()));
        painter.drawText(QRect(kInset, y, width() - 2 * kInset, m_titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         m_title);
        y += m_titleHeight;
    }
    painter.setFont(font());
    for (const QString& line : m_text.split(QLatin1Char('\n'))) {
        painter.drawText(QRect(kInset, y, width() - 2 * kInset, m_lineHeight), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += m_lineHeight;
    }
}
