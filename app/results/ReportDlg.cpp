#include "ReportDlg.h"

#include "DialogUnits.h"
#include "DivisionOwner.h"
#include "UICore.h"

#include <QPainter>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

using DialogUnits::toPixels;

namespace {
const QColor kBackground(232, 232, 232);
const QColor kCardBorder(218, 218, 218);
constexpr int kCornerRadius = 6; // a corner of 12 × 12
} // namespace

CReportDlg::CReportDlg(const QString& text, int mode, QWidget* parent)
    : QDialog(parent), m_title(QStringLiteral("自动排课报告")), m_text(text), m_mode(mode)
{
    setWindowTitle(m_title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(toPixels(409), toPixels(208));

    m_edit = new QTextEdit(this);
    m_edit->setReadOnly(true);
    m_edit->setAcceptRichText(false);
    m_edit->setFrameShape(QFrame::NoFrame);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::Base, Qt::white);
    m_edit->setPalette(palette);

    m_viewTable = new QPushButton(QStringLiteral("查看分班表(&V)"), this);
    m_viewTable->setGeometry(toPixels(258), toPixels(187), toPixels(70), toPixels(14));
    m_viewTable->setAutoDefault(false);
    m_close = new QPushButton(QStringLiteral("关闭(&C)"), this);
    m_close->setGeometry(toPixels(332), toPixels(187), toPixels(70), toPixels(14));
    m_close->setDefault(true);
    connect(m_viewTable, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    CUICore::instance()->SetAllChildWindowFont(this);

    m_edit->setPlainText(m_text);
    m_edit->moveCursor(QTextCursor::End);

    // The card is the text's place in the layout; the text sits inside it.
    m_card = QRect(toPixels(7), toPixels(7), toPixels(395), toPixels(174));
    m_edit->setGeometry(m_card.adjusted(8, 5, -8, -5));

    m_viewTable->setVisible(mode == DIVISION_RESULT_DONE || mode == DIVISION_RESULT_UNPLACED);
    m_close->setFocus();
}

void CReportDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kCardBorder, 1));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(m_card).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);
}
