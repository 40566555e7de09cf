#pragma once

#include "logic/editing/ClassRows.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;

// "修改所选班级": the planned number of students, the head teacher or both,
// set on several classes of the classes editor in one step. Each field
// counts only when its box is ticked; a field starts with the value the
// classes share, if they share one.
class CClassesChangeDialog : public QDialog
{
    Q_OBJECT

public:
    // names: the selected classes; count and headTeacher: what they share,
    // empty when they differ.
    CClassesChangeDialog(const QStringList& names, const QString& count, const QString& headTeacher,
                         QWidget* parent = nullptr);

    // "保存(&S)": checks the ticked fields and closes with the change.
    void submit();
    // The change, once the dialog was accepted.
    const CClassRows::Change& change() const { return m_change; }

    QCheckBox* countBox() const { return m_countBox; }
    QLineEdit* countEdit() const { return m_count; }
    QCheckBox* teacherBox() const { return m_teacherBox; }
    QLineEdit* teacherEdit() const { return m_teacher; }
    QLabel* classesLabel() const { return m_classes; }

    // How many class names the dialog lists before "等 N 个班级".
    static constexpr int kNamedClasses = 8;

private:
    CClassRows::Change m_change;
    QLabel* m_classes = nullptr;
    QCheckBox* m_countBox = nullptr;
    QLineEdit* m_count = nullptr;
    QCheckBox* m_teacherBox = nullptr;
    QLineEdit* m_teacher = nullptr;
};
