#include "gui/results/BalanceDurationDialog.h"

#include "gui/common/DialogUnits.h"
#include "gui/common/UICore.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using DialogUnits::toPixels;

namespace {
constexpr CBalanceDurationDialog::Choice kChoices[] = {
    {"快速（约2秒）", 2.0},
    {"标准（约10秒）", 10.0},
    {"深入（约60秒）", 60.0},
};
} // namespace

std::span<const CBalanceDurationDialog::Choice> CBalanceDurationDialog::choices()
{
    return kChoices;
}

CBalanceDurationDialog::CBalanceDurationDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("均衡优化"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* intro =
        new QLabel(QStringLiteral("均衡优化在现有分班结果的基础上调整学生所在的班级，使各班的总分和各科平均分、"
                                  "男女生人数以及各生源学校的学生人数更加接近。"
                                  "预分班、互斥学生组和各班计划人数都保持不变。"),
                   this);
    intro->setWordWrap(true);
    auto* question = new QLabel(QStringLiteral("请选择优化的时间（时间越长，结果越均衡）："), this);

    m_group = new QButtonGroup(this);
    auto* options = new QVBoxLayout;
    options->setContentsMargins(toPixels(10), 0, 0, 0);
    for (std::size_t i = 0; i < std::size(kChoices); ++i) {
        auto* button = new QRadioButton(QString::fromUtf8(kChoices[i].caption), this);
        m_group->addButton(button, static_cast<int>(i));
        options->addWidget(button);
    }
    setChoice(kDefaultChoice);

    m_start = new QPushButton(QStringLiteral("开始优化"), this);
    m_start->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setAutoDefault(false);
    for (QPushButton* button : {m_start, m_cancel})
        button->setMinimumSize(toPixels(60), toPixels(14));
    connect(m_start, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(toPixels(7), toPixels(7), toPixels(7), toPixels(7));
    layout->setSpacing(toPixels(5));
    layout->addWidget(intro);
    layout->addSpacing(toPixels(3));
    layout->addWidget(question);
    layout->addLayout(options);
    layout->addSpacing(toPixels(3));
    layout->addLayout(buttons);
    CUICore::instance()->SetAllChildWindowFont(this);
    intro->setFixedWidth(toPixels(260));
    setFixedSize(sizeHint());
}

int CBalanceDurationDialog::choice() const
{
    return m_group->checkedId();
}

void CBalanceDurationDialog::setChoice(int index)
{
    if (QAbstractButton* button = m_group->button(index))
        button->setChecked(true);
}

double CBalanceDurationDialog::seconds() const
{
    const int index = choice();
    return kChoices[index >= 0 ? index : kDefaultChoice].seconds;
}

QRadioButton* CBalanceDurationDialog::choiceButton(int index) const
{
    return qobject_cast<QRadioButton*>(m_group->button(index));
}
