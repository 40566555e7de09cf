#include "ResultTableDlg.h"

#include "ListHeaderCtrl.h"

#include <QPainter>
#include <QTableView>

namespace {
const QColor kBackground(240, 240, 240);
const QColor kFrame(156, 182, 197);
} // namespace

CResultTableDlg::CResultTableDlg(QWidget* parent) : QDialog(parent)
{
    m_table = new QTableView(this);
    CListHeaderCtrl::decorate(m_table);
    setAutoFillBackground(false);
}

void CResultTableDlg::setFrameMargins(const QMargins& margins)
{
    m_frameMargins = margins;
    relayout();
}

void CResultTableDlg::setTableInset(const QMargins& inset)
{
    m_inset = inset;
    relayout();
}

void CResultTableDlg::relayout()
{
    m_frame = rect().marginsRemoved(m_frameMargins);
    m_table->setGeometry(m_frame.marginsRemoved(m_inset));
    update();
}

void CResultTableDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    relayout();
}

void CResultTableDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setPen(kFrame);
    painter.setBrush(Qt::NoBrush);
    // A one-pixel line along the frame rectangle (right and bottom inclusive).
    painter.drawRect(m_frame.adjusted(0, 0, -1, -1));
}
