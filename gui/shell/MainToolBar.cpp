#include "gui/shell/MainToolBar.h"

#include "gui/shell/UIResources.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kFirstX = 25;
constexpr int kTop = 12;
constexpr int kItemWidth = 60;
constexpr int kItemStep = 75;
constexpr int kIconSize = 32;
} // namespace

CMainToolBar::CMainToolBar(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    const struct
    {
        ItemType type;
        const char* caption;
        const char* icon;
    } items[] = {
        {Settings, "设置", "settings"},
        {Website, "官网", "website"},
        {Backup, "备份", "backup"},
    };
    int x = kFirstX;
    for (const auto& item : items) {
        m_items.push_back({item.type, QString::fromLatin1(item.icon), QString::fromUtf8(item.caption),
                           QRect(x, kTop, kItemWidth, kHeight - kTop)});
        x += kItemStep;
    }
}

QRect CMainToolBar::itemRect(int type) const
{
    for (const Item& item : m_items) {
        if (item.type == type)
            return item.rect;
    }
    return {};
}

int CMainToolBar::itemAt(const QPoint& point) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].rect.contains(point))
            return static_cast<int>(i);
    }
    return -1;
}

void CMainToolBar::paintEvent(QPaintEvent*)
{
    CUIResources* resources = CUIResources::instance();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(resources->defaultFont());
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        const bool hot = static_cast<int>(i) == m_hovered;
        if (hot) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(255, 255, 255, 40));
            painter.drawRoundedRect(QRectF(item.rect.adjusted(-4, -4, 4, -6)), 5, 5);
        }
        const QPoint iconAt = item.rect.topLeft() - (hot ? QPoint(1, 1) : QPoint(0, 0));
        painter.drawPixmap(iconAt, resources->picture(item.icon, QSize(kIconSize, kIconSize)));
        painter.setPen(Qt::white);
        painter.drawText(QRect(item.rect.left() + 34, item.rect.top(), 40, kIconSize),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, item.caption);
    }
}

void CMainToolBar::mouseMoveEvent(QMouseEvent* event)
{
    const int item = itemAt(event->position().toPoint());
    setCursor(item >= 0 ? CUIResources::instance()->handCursor() : CUIResources::instance()->arrowCursor());
    if (item != m_hovered) {
        m_hovered = item;
        update();
    }
}

void CMainToolBar::leaveEvent(QEvent*)
{
    if (m_hovered != -1) {
        m_hovered = -1;
        update();
    }
}

void CMainToolBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int item = itemAt(event->position().toPoint());
    if (item >= 0)
        emit itemClicked(m_items[static_cast<std::size_t>(item)].type);
}
