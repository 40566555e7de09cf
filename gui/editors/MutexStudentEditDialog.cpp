#include "gui/editors/MutexStudentEditDialog.h"

#include "gui/common/MessageBox.h"
#include "logic/editing/MutexNameParser.h"
#include "gui/common/UICore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CMutexStudentEditDialog::CMutexStudentEditDialog(CListEditorDialog& editor, const CScheduleTask& task, Mode mode,
                                                 QWidget* parent)
    : CRowEditDialog(editor, mode, QStringLiteral("添加互斥学生组"), QStringLiteral("修改互斥学生组"), parent),
      m_task(task)
{
    auto* line = new QLabel(QStringLiteral("以下学生不安排在同一班级（直接输入学生姓名列表，以逗号分隔）"), this);
    m_names = new QPlainTextEdit(this);
    m_names->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_names->setTabChangesFocus(true);

    QVBoxLayout* buttons = createButtons([this] { submit(); }, QStringLiteral("关闭(&C)"));

    auto* body = new QHBoxLayout;
    body->addWidget(m_names, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(line);
    layout->addLayout(body, 1);

    CUICore::instance()->SetAllChildWindowFont(this);
    // 286 × 107 dialog units.
    resize(429, 160);
    m_names->setFocus();
}

void CMutexStudentEditDialog::setNames(const QString& names)
{
    m_names->setPlainText(names);
}

void CMutexStudentEditDialog::warn(const QString& text)
{
    CMessageBox::show(this, text, CMessageBox::Icon::Warning);
}

void CMutexStudentEditDialog::submit()
{
    const CMutexNameParser::Group group = CMutexNameParser::ReadGroup(m_task, m_names->toPlainText().toStdString());
    if (!group.message.empty())
        warn(QString::fromStdString(group.message));
    if (group.outcome != CMutexNameParser::Group::Outcome::Made) {
        m_names->setFocus();
        return;
    }
    if (!submitToEditor(group.ids, CMessageBox::Icon::Warning)) {
        m_names->setFocus();
        return;
    }
    if (mode() == Mode::Add) {
        m_names->clear();
        m_names->setFocus();
    }
}
