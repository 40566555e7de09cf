#include "gui/editors/ClassEditDialog.h"

#include "logic/editing/ClassRows.h"
#include "gui/common/MessageBox.h"
#include "gui/common/UICore.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kPictureSize = 64;
}

CClassEditDialog::CClassEditDialog(CListEditorDialog& editor, Mode mode, QWidget* parent)
    : CRowEditDialog(editor, mode, QStringLiteral("添加班级信息"), QStringLiteral("修改班级信息"), parent)
{
    auto* picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/images/classes.svg")).pixmap(kPictureSize, kPictureSize));
    picture->setAlignment(Qt::AlignCenter);
    picture->setMinimumWidth(kPictureSize + 16);

    m_name = new QLineEdit(this);
    m_count = new QLineEdit(QStringLiteral("40"), this);
    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow(QStringLiteral("班级名称"), m_name);
    fields->addRow(QStringLiteral("班级人数"), m_count);
    m_teacher = new QLineEdit(this);
    fields->addRow(QStringLiteral("班主任"), m_teacher);

    QVBoxLayout* buttons = createButtons([this] { submit(); }, QStringLiteral("取消(&C)"));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picture);
    layout->addLayout(fields, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    CUICore::instance()->SetAllChildWindowFont(this);
    // 262 × 94 dialog units.
    resize(393, 141);
    m_name->setFocus();
}

void CClassEditDialog::setFields(const QString& name, const QString& count, const QString& headTeacher)
{
    m_name->setText(name);
    m_count->setText(count);
    m_teacher->setText(headTeacher);
    m_name->selectAll();
}

void CClassEditDialog::submit()
{
    std::string name;
    if (const std::string problem = CClassRows::CheckName(m_name->text().toStdString(), name); !problem.empty()) {
        CMessageBox::information(this, QString::fromStdString(problem));
        m_name->setFocus();
        return;
    }
    int count = 0;
    if (const std::string problem = CClassRows::CheckCount(m_count->text().toStdString(), count); !problem.empty()) {
        CMessageBox::information(this, QString::fromStdString(problem));
        m_count->setFocus();
        m_count->selectAll();
        return;
    }

    const std::string teacher = CClassRows::HeadTeacher(m_teacher->text().toStdString());
    if (!submitToEditor({name, std::to_string(count), teacher}, CMessageBox::Icon::Information)) {
        m_name->setFocus();
        m_name->selectAll();
        return;
    }
    if (mode() == Mode::Add) {
        m_name->clear();
        m_teacher->clear();
        m_name->setFocus();
    }
}
