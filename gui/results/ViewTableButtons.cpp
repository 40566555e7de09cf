#include "gui/results/ViewTableButtons.h"

#include "gui/common/DialogUnits.h"

#include <QDialog>
#include <QPushButton>

using DialogUnits::toPixels;

CViewTableButtons::CViewTableButtons(QDialog* dialog)
{
    m_viewTable = new QPushButton(QStringLiteral("查看分班表(&V)"), dialog);
    m_viewTable->setAutoDefault(false);
    m_close = new QPushButton(QStringLiteral("关闭(&C)"), dialog);
    m_close->setDefault(true);
    for (QPushButton* button : {m_viewTable, m_close})
        button->setMinimumSize(toPixels(70), toPixels(14));
    connect(m_viewTable, &QPushButton::clicked, dialog, &QDialog::accept);
    connect(m_close, &QPushButton::clicked, dialog, &QDialog::reject);

    setSpacing(toPixels(332 - 328));
    addStretch(1);
    addWidget(m_viewTable);
    addWidget(m_close);
}
