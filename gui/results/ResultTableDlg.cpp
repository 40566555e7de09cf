#include "gui/results/ResultTableDlg.h"

#include "gui/common/ListHeaderCtrl.h"

#include <QPainter>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QColor kBackground(240, 240, 240);
const QColor kFrame(156, 182, 197);
} // namespace

CResultTableDlg::CResultTableDlg(QWidget* parent) : QDialog(parent)
{
    m_table = new QTableView(this);
    CListHeaderCtrl::decorate(m_table);
    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(m_table, 1);
    setAutoFillBackground(false);
}

void CResultTableDlg::setTableInset(const QMargins& inset)
{
    m_inset = inset;
    update();
}

QRect CResultTableDlg::tableFrame() const
{
    return m_table->geometry().marginsAdded(m_inset);
}

void CResultTableDlg::paintEvent(QPaintEvent*)
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
