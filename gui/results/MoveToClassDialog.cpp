#include "gui/results/MoveToClassDialog.h"

#include "core/DivisionTableData.h"
#include "base/task/ScheduleTask.h"
#include "gui/common/UICore.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <unordered_map>

namespace {
constexpr int kClassIdRole = Qt::UserRole;
}

CMoveToClassDialog::CMoveToClassDialog(const CScheduleTask& task, const std::vector<std::string>& studentIds,
                                       QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("调到班级"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // Who goes, and the one class they share, if they do.
    std::string shared;
    for (std::size_t k = 0; k < studentIds.size(); ++k) {
        const auto* student = task.GetStudentInfoList().FindAs<CStudentInfo>(studentIds[k]);
        const std::string own = student ? student->GetClassId() : std::string();
        if (k == 0)
            shared = own;
        else if (own != shared)
            shared.clear();
    }
    const QString who = studentIds.size() == 1 ? QString::fromStdString(task.GetStudentName(studentIds.front()))
                                               : QStringLiteral("选中的 %1 名学生").arg(studentIds.size());
    auto* prompt = new QLabel(QStringLiteral("把 %1 调到：").arg(who), this);

    std::unordered_map<std::string, int> held;
    for (const auto& entry : task.GetStudentInfoList())
        ++held[static_cast<const CStudentInfo*>(entry.object.get())->ClassIdRef()];

    m_list = new QListWidget(this);
    for (const CClassInfo* info : CDivisionTableData::ClassesInOrder(task)) {
        const int count = held.count(info->IdRef()) ? held[info->IdRef()] : 0;
        QString text = QStringLiteral("%1　（%2 / %3 人）")
                           .arg(QString::fromStdString(info->GetName()))
                           .arg(count)
                           .arg(info->GetStudentCount());
        auto* item = new QListWidgetItem(m_list);
        item->setData(kClassIdRole, QString::fromStdString(info->GetId()));
        if (info->IdRef() == shared) {
            text += QStringLiteral("　当前班级");
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        }
        item->setText(text);
        item->setSizeHint(QSize(0, 24));
    }
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->flags() & Qt::ItemIsEnabled) {
            m_list->setCurrentRow(row);
            break;
        }
    }

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    m_ok->setEnabled(m_list->currentItem() != nullptr);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* current) { m_ok->setEnabled(current != nullptr); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    CUICore::instance()->SetAllChildWindowFont(this);
    resize(360, 420);
}

std::string CMoveToClassDialog::chosenClassId() const
{
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(kClassIdRole).toString().toStdString() : std::string();
}
