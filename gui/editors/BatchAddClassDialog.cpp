#include "gui/editors/BatchAddClassDialog.h"

#include "base/util/IniFile.h"
#include "gui/common/MessageBox.h"
#include "gui/common/UICore.h"
#include "gui/editors/ListEditorDialog.h"
#include "logic/editing/ClassRows.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
QLineEdit* digitsOnly(const QString& text, QWidget* parent)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

constexpr const char* kPatternKey = "Pattern";
constexpr const char* kClassesKey = "Classes";
constexpr const char* kStudentsKey = "StudentsPerClass";
} // namespace

const QString CBatchAddClassDialog::kExistingMark = QStringLiteral("（已有，跳过）");

CBatchAddClassDialog::CBatchAddClassDialog(CListEditorDialog& editor, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_patterns(ClassNamePattern::Patterns())
{
    setWindowTitle(QStringLiteral("批量添加班级"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_patternBox = new QComboBox(this);
    for (const ClassNamePattern& pattern : m_patterns)
        m_patternBox->addItem(QString::fromStdString(pattern.description), pattern.id);
    m_classCount = digitsOnly(QString::number(m_patterns.front().numberOfClasses), this);
    m_studentCount = digitsOnly(QString::number(m_patterns.front().studentsPerClass), this);
    m_preview = new QListWidget(this);
    m_preview->setSelectionMode(QAbstractItemView::NoSelection);
    m_preview->setFocusPolicy(Qt::NoFocus);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);

    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow(QStringLiteral("班级格式"), m_patternBox);
    fields->addRow(QStringLiteral("班级数"), m_classCount);
    fields->addRow(QStringLiteral("每班学生人数"), m_studentCount);
    fields->addRow(QStringLiteral("预览"), m_preview);
    fields->addRow(QString(), m_note);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* add = buttons->addButton(QStringLiteral("批量添加"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    add->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CBatchAddClassDialog::batchAdd);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addWidget(buttons);

    connect(m_patternBox, &QComboBox::currentIndexChanged, this, [this] { updatePreview(); });
    connect(m_classCount, &QLineEdit::textChanged, this, [this] { updatePreview(); });
    connect(m_studentCount, &QLineEdit::textChanged, this, [this] { updatePreview(); });
    updatePreview();
    CUICore::instance()->SetAllChildWindowFont(this);
    resize(340, 360);
}

void CBatchAddClassDialog::setSettingsFile(const std::string& path)
{
    m_settingsFile = path;
    if (path.empty())
        return;
    CIniFile ini(path);
    if (!ini.Load())
        return;
    const int id = ini.GetInt(kSettingsSection, kPatternKey, 0);
    for (std::size_t i = 0; i < m_patterns.size(); ++i) {
        if (m_patterns[i].id == id)
            m_patternBox->setCurrentIndex(static_cast<int>(i));
    }
    // Only numbers the checks take are put back.
    int value = 0;
    const std::string classes = ini.GetString(kSettingsSection, kClassesKey, "");
    if (CClassRows::CheckNumberOfClasses(classes, value).empty())
        m_classCount->setText(QString::number(value));
    const std::string students = ini.GetString(kSettingsSection, kStudentsKey, "");
    if (CClassRows::CheckStudentsPerClass(students, value).empty())
        m_studentCount->setText(QString::number(value));
}

void CBatchAddClassDialog::remember(const ClassNamePattern& pattern) const
{
    if (m_settingsFile.empty())
        return;
    CIniFile ini(m_settingsFile);
    if (!ini.Load())
        return;
    ini.SetInt(kSettingsSection, kPatternKey, pattern.id);
    ini.SetInt(kSettingsSection, kClassesKey, pattern.numberOfClasses);
    ini.SetInt(kSettingsSection, kStudentsKey, pattern.studentsPerClass);
    ini.Save();
}

const ClassNamePattern& CBatchAddClassDialog::selectedPattern() const
{
    const int index = std::max(0, m_patternBox->currentIndex());
    return m_patterns[static_cast<std::size_t>(index)];
}

QStringList CBatchAddClassDialog::previewNames() const
{
    QStringList names;
    for (int i = 0; i < m_preview->count(); ++i)
        names.append(m_preview->item(i)->text());
    return names;
}

void CBatchAddClassDialog::updatePreview()
{
    m_preview->clear();
    int classes = 0;
    int students = 0;
    const std::string classProblem = CClassRows::CheckNumberOfClasses(m_classCount->text().toStdString(), classes);
    const std::string studentProblem =
        CClassRows::CheckStudentsPerClass(m_studentCount->text().toStdString(), students);
    if (!classProblem.empty()) {
        m_note->setText(QString::fromStdString(classProblem));
        m_note->setStyleSheet(QStringLiteral("color: #c00000;"));
        return;
    }
    const ClassNamePattern& pattern = selectedPattern();
    int added = 0;
    for (int i = 0; i < classes; ++i) {
        const std::string name = pattern.ClassName(i);
        RowRequest request;
        request.quiet = true;
        request.mode = RowMode::Add;
        auto* item = new QListWidgetItem(QString::fromStdString(name), m_preview);
        if (m_editor.IsDuplicateName({name}, request)) {
            item->setText(item->text() + kExistingMark);
            item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
        } else {
            ++added;
        }
    }
    if (!studentProblem.empty()) {
        m_note->setText(QString::fromStdString(studentProblem));
        m_note->setStyleSheet(QStringLiteral("color: #c00000;"));
        return;
    }
    m_note->setStyleSheet(QString());
    m_note->setText(QStringLiteral("将添加 %1 个班级，每班 %2 人。").arg(added).arg(students));
}

bool CBatchAddClassDialog::readNumber(QLineEdit* edit, const std::string& problem)
{
    if (problem.empty())
        return true;
    CMessageBox::information(this, QString::fromStdString(problem));
    edit->setFocus();
    edit->selectAll();
    return false;
}

void CBatchAddClassDialog::batchAdd()
{
    int classes = 0;
    int students = 0;
    if (!readNumber(m_classCount, CClassRows::CheckNumberOfClasses(m_classCount->text().toStdString(), classes))
        || !readNumber(m_studentCount,
                       CClassRows::CheckStudentsPerClass(m_studentCount->text().toStdString(), students)))
        return;

    ClassNamePattern& pattern = m_patterns[static_cast<std::size_t>(std::max(0, m_patternBox->currentIndex()))];
    pattern.numberOfClasses = classes;
    pattern.studentsPerClass = students;
    for (int i = 0; i < pattern.numberOfClasses; ++i) {
        RowRequest request;
        request.quiet = true;
        request.mode = RowMode::Add;
        m_editor.SubmitRow(request, {pattern.ClassName(i), std::to_string(pattern.studentsPerClass)});
    }
    remember(pattern);
    accept();
}
