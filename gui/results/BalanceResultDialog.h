#pragma once

#include "core/BalanceReport.h"
#include "gui/results/ResultTableDialog.h"

#include <vector>

class QLabel;
class QPushButton;
class QStandardItemModel;

// "均衡优化结果": what a balancing changed, as a table of how far apart the
// classes were before and after it, under a few lines on what was done
// and whether it was saved. "查看分班表(&V)" ends the dialog with Accepted.
class CBalanceResultDialog : public CResultTableDialog
{
    Q_OBJECT

public:
    // rows: the heading row, then one row a figure (CBalanceReport::Table).
    CBalanceResultDialog(const std::vector<CBalanceReport::Row>& rows, const QString& summary,
                         QWidget* parent = nullptr);

    QLabel* summaryLabel() const { return m_summary; }
    QStandardItemModel* model() const { return m_model; }
    QPushButton* viewTableButton() const { return m_viewTable; }
    QPushButton* closeButton() const { return m_close; }

private:
    QLabel* m_summary = nullptr;
    QStandardItemModel* m_model = nullptr;
    QPushButton* m_viewTable = nullptr;
    QPushButton* m_close = nullptr;
};
