#include "gui/results/BalanceResultDialog.h"

#include "gui/common/DialogUnits.h"
#include "gui/common/UICore.h"
#include "gui/results/ViewTableButtons.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

using DialogUnits::toPixels;

CBalanceResultDialog::CBalanceResultDialog(const std::vector<CBalanceReport::Row>& rows, const QString& summary,
                                           QWidget* parent)
    : CResultTableDialog(parent)
{
    setWindowTitle(QStringLiteral("均衡优化结果"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_summary = new QLabel(summary, this);
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* caption = new QLabel(QStringLiteral("各班之间的差距（各班中最大值减最小值）："), this);

    m_model = new QStandardItemModel(this);
    if (!rows.empty()) {
        m_model->setColumnCount(3);
        const CBalanceReport::Row& heading = rows.front();
        m_model->setHorizontalHeaderLabels({QString::fromStdString(heading.label),
                                            QString::fromStdString(heading.before),
                                            QString::fromStdString(heading.after)});
        for (std::size_t r = 1; r < rows.size(); ++r) {
            QList<QStandardItem*> items;
            for (const std::string* text : {&rows[r].label, &rows[r].before, &rows[r].after}) {
                auto* item = new QStandardItem(QString::fromStdString(*text));
                item->setEditable(false);
                if (text != &rows[r].label)
                    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                items.push_back(item);
            }
            m_model->appendRow(items);
        }
    }
    table()->setModel(m_model);
    table()->verticalHeader()->hide();
    table()->setSelectionBehavior(QAbstractItemView::SelectRows);
    table()->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* buttons = new CViewTableButtons(this);
    m_viewTable = buttons->viewTableButton();
    m_close = buttons->closeButton();
    CUICore::instance()->SetAllChildWindowFont(this);

    QVBoxLayout* layout = contentLayout();
    layout->setContentsMargins(toPixels(7) + 1, toPixels(7), toPixels(7) + 1, toPixels(7));
    layout->setSpacing(toPixels(4));
    layout->insertWidget(0, m_summary);
    layout->insertWidget(1, caption);
    layout->addLayout(buttons);

    QHeaderView* header = table()->horizontalHeader();
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < m_model->columnCount(); ++column)
        header->resizeSection(column, toPixels(60));
    int height = header->sizeHint().height() + 4;
    for (int row = 0; row < m_model->rowCount(); ++row)
        height += table()->rowHeight(row);
    table()->setMinimumHeight(std::min(height, toPixels(220)));
    m_summary->setFixedWidth(toPixels(300));
    resize(sizeHint().expandedTo(QSize(toPixels(320), 0)));
    m_close->setFocus();
}
