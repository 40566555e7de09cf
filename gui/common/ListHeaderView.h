#pragma once

#include <QHeaderView>

// The column header of the program's list views: a light gradient band
// with a bottom rule and thin separators, titles in the default font.
class CListHeaderView : public QHeaderView
{
    Q_OBJECT

public:
    explicit CListHeaderView(QWidget* parent = nullptr);

    // Header and rows of a list view: this header, full-row selection,
    // grid lines, rows of the given height, no row header.
    static void decorate(class QTableView* view, int rowHeight = 25);

protected:
    void paintEvent(QPaintEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;
};
