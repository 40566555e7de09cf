#include "gui/results/RunDialogLayout.h"

#include "gui/common/DialogUnits.h"
#include "gui/common/UICore.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using DialogUnits::toPixels;

CRunDialogLayout::CRunDialogLayout(QDialog* dialog, const QString& statusText, QLayout* middle)
{
    status = new QLabel(statusText, dialog);
    status->setMinimumHeight(toPixels(12));
    progress = new QProgressBar(dialog);
    progress->setMinimumHeight(toPixels(14));
    progress->setRange(0, 100);
    progress->setValue(0);
    progress->setTextVisible(false);
    cancel = new QPushButton(QStringLiteral("取消"), dialog);
    cancel->setMinimumSize(toPixels(76), toPixels(14));
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(toPixels(7), toPixels(11), toPixels(7), toPixels(7));
    layout->setSpacing(toPixels(4));
    layout->addWidget(status);
    layout->addWidget(progress);
    if (middle) {
        layout->addSpacing(toPixels(4));
        layout->addLayout(middle);
        layout->addSpacing(toPixels(4));
    }
    layout->addStretch(1);
    layout->addLayout(buttons);
    CUICore::instance()->SetAllChildWindowFont(dialog);
}
