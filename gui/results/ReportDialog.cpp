#include "gui/results/ReportDialog.h"

#include "gui/common/DialogUnits.h"
#include "core/DivisionOwner.h"
#include "gui/common/UICore.h"
#include "gui/common/WindowPlacement.h"
#include "gui/results/ViewTableButtons.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

using DialogUnits::toPixels;

namespace {
const QColor kBackground(232, 232, 232);
const QColor kCardBorder(218, 218, 218);
constexpr int kCornerRadius = 6; // a corner of 12 × 12
// The text sits inside the card, this far from its edges.
const QMargins kCardPadding(8, 5, 8, 5);
} // namespace

CReportDialog::CReportDialog(const QString& text, int mode, QWidget* parent)
    : QDialog(parent), m_title(QStringLiteral("自动分班报告")), m_text(text), m_mode(mode)
{
    setWindowTitle(m_title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_edit = new QTextEdit(this);
    m_edit->setReadOnly(true);
    m_edit->setAcceptRichText(false);
    m_edit->setFrameShape(QFrame::NoFrame);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::Base, Qt::white);
    m_edit->setPalette(palette);

    auto* buttons = new CViewTableButtons(this);
    m_viewTable = buttons->viewTableButton();
    m_close = buttons->closeButton();
    CUICore::instance()->SetAllChildWindowFont(this);

    // The card at 7,7 (395 × 174 units) with the text inside it, and the
    // buttons below it at the right.
    auto* card = new QVBoxLayout;
    card->setContentsMargins(kCardPadding);
    card->addWidget(m_edit);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(toPixels(7), toPixels(7), toPixels(7), toPixels(7));
    layout->setSpacing(toPixels(187 - 181));
    layout->addLayout(card, 1);
    layout->addLayout(buttons);
    // The template's size at least; a long report reads better in a larger
    // window.
    setMinimumSize(sizeHint().expandedTo(QSize(toPixels(409), toPixels(208))));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setObjectName(QStringLiteral("reportWindow"));
    CWindowPlacement::setKind(this, CWindowPlacement::Kind::Panel);

    m_edit->setPlainText(m_text);
    m_edit->moveCursor(QTextCursor::End);

    m_viewTable->setVisible(mode == DIVISION_RESULT_DONE || mode == DIVISION_RESULT_UNPLACED);
    m_close->setFocus();
}

void CReportDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kCardBorder, 1));
    painter.setBrush(Qt::white);
    const QRect card = m_edit->geometry().marginsAdded(kCardPadding);
    painter.drawRoundedRect(QRectF(card).adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius, kCornerRadius);
}
