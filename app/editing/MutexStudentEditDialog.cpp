#include "MutexStudentEditDialog.h"

#include "MessageBox.h"
#include "MutexNameParser.h"
#include "UICore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
QString joined(const std::vector<std::string>& names)
{
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    return list.join(QStringLiteral("，"));
}
} // namespace

CMutexStudentEditDialog::CMutexStudentEditDialog(CListEditorDialog& editor, const CScheduleTask& task, Mode mode,
                                                 QWidget* parent)
    : CRowEditDialog(editor, mode, QStringLiteral("添加互斥学生组"), QStringLiteral("修改互斥学生组"), parent)
    , m_task(task)
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
    const std::vector<std::string> names = CMutexNameParser::SplitNames(m_names->toPlainText().toStdString());
    if (names.empty()) {
        warn(QStringLiteral("请输入有效的学生姓名列表，以逗号分隔"));
        m_names->setFocus();
        return;
    }
    const CMutexNameParser::Match match = CMutexNameParser::MatchStudents(m_task, names);
    if (match.ids.empty()) {
        warn(QStringLiteral("在学生列表中没有找到对应的学生信息！\n请确认输入的学生姓名有效并以逗号分隔。"));
        m_names->setFocus();
        return;
    }
    if (match.ids.size() == 1) {
        warn(QStringLiteral("互斥学生组至少应包含两名同学信息！\n当前输入信息中只包含一个有效的学生信息：")
             + QString::fromStdString(match.names.front()));
        m_names->setFocus();
        return;
    }
    if (!match.unmatched.empty())
        warn(QStringLiteral("部分学生姓名在学生列表中没有找到对应的信息：\n") + joined(match.unmatched));

    if (!submitToEditor(match.ids, CMessageBox::Icon::Warning)) {
        m_names->setFocus();
        return;
    }
    if (mode() == Mode::Add) {
        m_names->clear();
        m_names->setFocus();
    }
}
