#include "gui/editors/ClassesChangeDialog.h"

#include "gui/common/MessageBox.h"
#include "gui/common/UICore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// "高一(1)班、高一(2)班 等 12 个班级".
QString describe(const QStringList& names)
{
    const int shown = std::min<int>(static_cast<int>(names.size()), CClassesChangeDialog::kNamedClasses);
    QString text = names.mid(0, shown).join(QStringLiteral("、"));
    if (names.size() > shown)
        text += QStringLiteral(" 等 %1 个班级").arg(names.size());
    return text;
}
} // namespace

CClassesChangeDialog::CClassesChangeDialog(const QStringList& names, const QString& count, const QString& headTeacher,
                                           QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("修改所选班级"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_classes = new QLabel(QStringLiteral("所选的 %1 个班级：%2").arg(names.size()).arg(describe(names)), this);
    m_classes->setWordWrap(true);

    m_countBox = new QCheckBox(QStringLiteral("班级人数"), this);
    m_count = new QLineEdit(count, this);
    m_teacherBox = new QCheckBox(QStringLiteral("班主任"), this);
    m_teacher = new QLineEdit(headTeacher, this);
    m_countBox->setChecked(true);
    // Typing in a field means to set it; an unticked field is left alone.
    connect(m_count, &QLineEdit::textEdited, this, [this] { m_countBox->setChecked(true); });
    connect(m_teacher, &QLineEdit::textEdited, this, [this] { m_teacherBox->setChecked(true); });

    auto* fields = new QGridLayout;
    fields->addWidget(m_countBox, 0, 0);
    fields->addWidget(m_count, 0, 1);
    fields->addWidget(m_teacherBox, 1, 0);
    fields->addWidget(m_teacher, 1, 1);
    fields->setColumnStretch(1, 1);
    auto* hint = new QLabel(QStringLiteral("只修改勾选的项目；班主任留空表示没有班主任。"), this);
    hint->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = buttons->addButton(QStringLiteral("保存(&S)"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消(&C)"), QDialogButtonBox::RejectRole);
    save->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CClassesChangeDialog::submit);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_classes);
    layout->addLayout(fields);
    layout->addWidget(hint);
    layout->addStretch(1);
    layout->addWidget(buttons);

    CUICore::instance()->SetAllChildWindowFont(this);
    // Wide enough for a line of class names.
    setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    m_count->setFocus();
    m_count->selectAll();
}

void CClassesChangeDialog::submit()
{
    CClassRows::Change change;
    if (!m_countBox->isChecked() && !m_teacherBox->isChecked()) {
        CMessageBox::information(this, QStringLiteral("请勾选要修改的项目：班级人数或班主任。"));
        return;
    }
    if (m_countBox->isChecked()) {
        int count = 0;
        if (const std::string problem = CClassRows::CheckCount(m_count->text().toStdString(), count);
            !problem.empty()) {
            CMessageBox::information(this, QString::fromStdString(problem));
            m_count->setFocus();
            m_count->selectAll();
            return;
        }
        change.count = count;
    }
    if (m_teacherBox->isChecked())
        change.headTeacher = CClassRows::HeadTeacher(m_teacher->text().toStdString());
    m_change = change;
    accept();
}
