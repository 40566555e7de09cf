#pragma once

#include "logic/editing/ClassNamePattern.h"

#include <QDialog>
#include <QStringList>

#include <string>
#include <vector>

class CListEditorDialog;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "批量添加班级": many classes at once, named after a numbering pattern
// ("高一(1)班", "高一(2)班", ...), all with the same number of students.
// The preview lists every name the batch makes; names that exist already
// are marked there and skipped without a word when the rows go to the
// classes editor. A field that holds no good number is named, in the
// preview's note as it is typed and in the message when adding.
//
// With a settings file the dialog starts with the pattern and the numbers
// of the last batch added, and remembers those of each batch it adds.
class CBatchAddClassDialog : public QDialog
{
    Q_OBJECT

public:
    // The settings section of the remembered batch.
    static constexpr const char* kSettingsSection = "BatchAddClass";

    CBatchAddClassDialog(CListEditorDialog& editor, QWidget* parent = nullptr);

    // The program's settings file: the fields take the last batch's values.
    void setSettingsFile(const std::string& path);

    // "批量添加": checks the numbers, submits the rows, remembers the batch
    // and closes.
    void batchAdd();

    QComboBox* patternBox() const { return m_patternBox; }
    QLineEdit* classCountEdit() const { return m_classCount; }
    QLineEdit* studentCountEdit() const { return m_studentCount; }
    QListWidget* preview() const { return m_preview; }
    QLabel* previewNote() const { return m_note; }
    // The names the preview lists, in order; a name that exists already
    // ends in kExistingMark.
    QStringList previewNames() const;
    const ClassNamePattern& selectedPattern() const;

    static const QString kExistingMark;

private:
    void updatePreview();
    // Whether edit holds a good number; when not, says problem and puts
    // the focus on it.
    bool readNumber(QLineEdit* edit, const std::string& problem);
    void remember(const ClassNamePattern& pattern) const;

    CListEditorDialog& m_editor;
    std::vector<ClassNamePattern> m_patterns;
    std::string m_settingsFile;
    QComboBox* m_patternBox = nullptr;
    QLineEdit* m_classCount = nullptr;
    QLineEdit* m_studentCount = nullptr;
    QListWidget* m_preview = nullptr;
    QLabel* m_note = nullptr;
};
