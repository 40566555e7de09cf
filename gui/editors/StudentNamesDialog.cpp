#include "gui/editors/StudentNamesDialog.h"

#include "gui/common/MessageBox.h"
#include "gui/common/UICore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CStudentNamesDialog::CStudentNamesDialog(CListEditorDialog& editor, const CScheduleTask& task, Mode mode,
                                         const QString& addTitle, const QString& modifyTitle, const QString& line,
                                         const CMutexNameParser::Kind& kind, QWidget* parent)
    : CRowEditDialog(editor, mode, addTitle, modifyTitle, parent), m_task(task), m_kind(kind)
{
    auto* label = new QLabel(line, this);
    m_names = new QPlainTextEdit(this);
    m_names->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_names->setTabChangesFocus(true);

    QVBoxLayout* buttons = createButtons([this] { submit(); }, QStringLiteral("关闭(&C)"));

    auto* body = new QHBoxLayout;
    body->addWidget(m_names, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(body, 1);

    CUICore::instance()->SetAllChildWindowFont(this);
    // 286 × 107 dialog units.
    resize(429, 160);
    m_names->setFocus();
}

void CStudentNamesDialog::setNames(const QString& names)
{
    m_names->setPlainText(names);
}

void CStudentNamesDialog::warn(const QString& text)
{
    CMessageBox::show(this, text, CMessageBox::Icon::Warning);
}

void CStudentNamesDialog::submit()
{
    const CMutexNameParser::Group group =
        CMutexNameParser::ReadGroup(m_task, m_names->toPlainText().toStdString(), m_kind);
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
