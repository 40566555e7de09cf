#include "gui/import/WizardStepPanel.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {
const QColor kFrame(156, 182, 197);
const QColor kBand(226, 236, 244);
const QColor kCaption(31, 64, 96);
constexpr qreal kRadius = 8;
constexpr int kPadding = 10;
} // namespace

CWizardStepPanel::CWizardStepPanel(const QString& caption, QWidget* parent) : QWidget(parent), m_caption(caption)
{
    m_content = new QVBoxLayout(this);
    m_content->setSpacing(kPadding / 2);
    placeContent();
}

void CWizardStepPanel::placeContent()
{
    m_content->setContentsMargins(kPadding, bandHeight() + kPadding / 2, kPadding, kPadding);
}

void CWizardStepPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        placeContent();
    QWidget::changeEvent(event);
}

int CWizardStepPanel::bandHeight() const
{
    return fontMetrics().height() + 10;
}

void CWizardStepPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(box, kRadius, kRadius);
    painter.fillPath(outline, Qt::white);

    // The band is the top of the box, so it shares the box's curved corners.
    painter.save();
    painter.setClipPath(outline);
    painter.fillRect(QRectF(box.left(), box.top(), box.width(), bandHeight()), kBand);
    painter.setPen(kFrame);
    painter.drawLine(QPointF(box.left(), box.top() + bandHeight()), QPointF(box.right(), box.top() + bandHeight()));
    painter.restore();

    painter.setPen(QPen(kFrame, 1));
    painter.drawPath(outline);

    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(kCaption);
    painter.drawText(QRectF(box.left() + kPadding, box.top(), box.width() - 2 * kPadding, bandHeight()),
                     Qt::AlignLeft | Qt::AlignVCenter, m_caption);
}
