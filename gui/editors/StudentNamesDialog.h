#pragma once

#include "gui/editors/RowEditDialog.h"
#include "logic/editing/MutexNameParser.h"

class CScheduleTask;
class QPlainTextEdit;

// The dialogs in which a group of students is typed as names separated by
// commas or line breaks (an exclusive group, a group who share a class).
// The names are looked up among the task's students and the ids found go to
// the groups editor. When adding, the field is emptied after each group for
// the next one.
class CStudentNamesDialog : public CRowEditDialog
{
    Q_OBJECT

public:
    // The names the field starts with (modify mode).
    void setNames(const QString& names);

    // The first button: reads the names and submits the group.
    void submit();

    QPlainTextEdit* namesEdit() const { return m_names; }

protected:
    // line: the sentence above the field; kind: how the names are read.
    CStudentNamesDialog(CListEditorDialog& editor, const CScheduleTask& task, Mode mode, const QString& addTitle,
                        const QString& modifyTitle, const QString& line, const CMutexNameParser::Kind& kind,
                        QWidget* parent);

private:
    void warn(const QString& text);

    const CScheduleTask& m_task;
    CMutexNameParser::Kind m_kind;
    QPlainTextEdit* m_names = nullptr;
};
