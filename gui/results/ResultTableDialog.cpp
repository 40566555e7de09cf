#include "gui/results/ResultTableDialog.h"

#include "gui/common/ListHeaderView.h"

#include <QPainter>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QColor kBackground(240, 240, 240);
const QColor kFrame(156, 182, 197);
} // namespace

CResultTableDialog::CResultTableDialog(QWidget* parent) : QDialog(parent)
{
    m_table = new QTableView(this);
    CListHeaderView::decorate(m_table);
    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(m_table, 1);
    setAutoFillBackground(false);
}

void CResultTableDialog::setTableInset(const QMargins& inset)
{
    m_inset = inset;
    update();
}

QRect CResultTableDialog::tableFrame() const
{
    return m_table->geometry().marginsAdded(m_inset);
}

void CResultTableDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setPen(kFrame);
    painter.setBrush(Qt::NoBrush);
    // A one-pixel line along the frame rectangle (right and bottom inclusive),
    // while the list is shown.
    if (m_table->isVisible())
        painter.drawRect(tableFrame().adjusted(0, 0, -1, -1));
}
