#include "gui/common/ListHeaderView.h"

#include "gui/common/UICore.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygon>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {
const QColor kTop(252, 252, 253);
const QColor kBottom(226, 233, 239);
const QColor kRule(156, 182, 197);
const QColor kSeparator(196, 208, 218);
const QColor kText(32, 48, 64);
constexpr int kHeight = 26;
constexpr int kPadding = 6;
// The sort mark: a small triangle at the right end of the sorted column.
constexpr int kMarkWidth = 8;
constexpr int kMarkHeight = 4;

// Cells without the focus frame: in a list that only shows data the frame
// around the current cell looks like a selection of that cell.
class CellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};
} // namespace

CListHeaderView::CListHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setFont(CUICore::instance()->getDefaultFont());
    setHighlightSections(false);
    setSectionsClickable(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setMinimumHeight(kHeight);
}

void CListHeaderView::decorate(QTableView* view, int rowHeight)
{
    auto* header = new CListHeaderView(view); // owned by the view
    view->setHorizontalHeader(header);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setDefaultSectionSize(rowHeight);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setShowGrid(true);
    view->setGridStyle(Qt::SolidLine);
    view->setWordWrap(false);
    view->setFrameShape(QFrame::NoFrame);
    view->setFont(CUICore::instance()->getDefaultFont());
    view->setItemDelegate(new CellDelegate(view)); // owned by the view
}

void CListHeaderView::paintEvent(QPaintEvent* event)
{
    QHeaderView::paintEvent(event);
    // The band goes on to the right edge after the last column.
    const int end = length() - offset();
    if (end >= viewport()->width())
        return;
    QPainter painter(viewport());
    const QRect rest(end, 0, viewport()->width() - end, viewport()->height());
    QLinearGradient band(rest.topLeft(), rest.bottomLeft());
    band.setColorAt(0.0, kTop);
    band.setColorAt(1.0, kBottom);
    painter.fillRect(rest, band);
    painter.setPen(kRule);
    painter.drawLine(rest.bottomLeft(), rest.bottomRight());
}

void CListHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    painter->save();
    QLinearGradient band(rect.topLeft(), rect.bottomLeft());
    band.setColorAt(0.0, kTop);
    band.setColorAt(1.0, kBottom);
    painter->fillRect(rect, band);

    painter->setPen(kSeparator);
    painter->drawLine(rect.topRight() + QPoint(0, 4), rect.bottomRight() - QPoint(0, 4));
    painter->setPen(kRule);
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());

    const QVariant title = model() ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole) : QVariant();
    QVariant align = model() ? model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole) : QVariant();
    const Qt::Alignment alignment = align.isValid() ? Qt::Alignment(align.toInt()) : (Qt::AlignLeft | Qt::AlignVCenter);
    QRect textRect = rect.adjusted(kPadding, 0, -kPadding, -1);
    if (isSortIndicatorShown() && sortIndicatorSection() == logicalIndex) {
        // Pointing up for the smallest first, down for the largest first.
        const int right = textRect.right();
        const int middle = rect.center().y();
        const int half = kMarkWidth / 2;
        const int left = right - kMarkWidth;
        QPolygon mark;
        if (sortIndicatorOrder() == Qt::AscendingOrder)
            mark << QPoint(left, middle + kMarkHeight / 2) << QPoint(right, middle + kMarkHeight / 2)
                 << QPoint(left + half, middle - kMarkHeight / 2 - 1);
        else
            mark << QPoint(left, middle - kMarkHeight / 2) << QPoint(right, middle - kMarkHeight / 2)
                 << QPoint(left + half, middle + kMarkHeight / 2 + 1);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(kText);
        painter->drawPolygon(mark);
        textRect.setRight(left - kPadding / 2);
    }
    painter->setPen(kText);
    painter->setFont(font());
    painter->drawText(textRect, int(alignment | Qt::AlignVCenter), title.toString());
    painter->restore();
}

QSize CListHeaderView::sectionSizeFromContents(int logicalIndex) const
{
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    size.setHeight(std::max(size.height(), kHeight));
    return size;
}
