#pragma once

#include "logic/editing/ClassNamePattern.h"

#include <QDialog>

#include <string>
#include <vector>

class CListEditorDialog;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "批量添加班级": many classes at once, named after a numbering pattern
// ("高一(1)班", "高一(2)班", ...), all with the same number of students.
// The rows go to the classes editor quietly, so names that exist already
// are skipped without a word.
class CBatchAddClassDialog : public QDialog
{
    Q_OBJECT

public:
    CBatchAddClassDialog(CListEditorDialog& editor, QWidget* parent = nullptr);

    // "批量添加": checks the numbers, submits the rows and closes.
    void batchAdd();

    QComboBox* patternBox() const { return m_patternBox; }
    QLineEdit* classCountEdit() const { return m_classCount; }
    QLineEdit* studentCountEdit() const { return m_studentCount; }
    QLabel* preview() const { return m_preview; }
    const ClassNamePattern& selectedPattern() const;

private:
    void updatePreview();
    // Whether edit holds a good number; when not, says problem and puts
    // the focus on it.
    bool readNumber(QLineEdit* edit, const std::string& problem);

    CListEditorDialog& m_editor;
    std::vector<ClassNamePattern> m_patterns;
    QComboBox* m_patternBox = nullptr;
    QLineEdit* m_classCount = nullptr;
    QLineEdit* m_studentCount = nullptr;
    QLabel* m_preview = nullptr;
};
