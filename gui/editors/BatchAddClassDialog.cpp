#include "gui/editors/BatchAddClassDialog.h"

#include "logic/editing/ClassRows.h"
#include "gui/editors/ListEditorDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/common/UICore.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
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
} // namespace

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
    m_preview = new QLabel(this);
    m_preview->setFrameShape(QFrame::StyledPanel);
    m_preview->setMinimumHeight(24);

    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow(QStringLiteral("班级格式"), m_patternBox);
    fields->addRow(QStringLiteral("班级数"), m_classCount);
    fields->addRow(QStringLiteral("每班学生人数"), m_studentCount);
    fields->addRow(QStringLiteral("预览"), m_preview);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* add = buttons->addButton(QStringLiteral("批量添加"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    add->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CBatchAddClassDialog::batchAdd);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addWidget(buttons);

    connect(m_patternBox, &QComboBox::currentIndexChanged, this, [this] { updatePreview(); });
    updatePreview();
    CUICore::instance()->SetAllChildWindowFont(this);
    resize(340, 200);
}

const ClassNamePattern& CBatchAddClassDialog::selectedPattern() const
{
    const int index = std::max(0, m_patternBox->currentIndex());
    return m_patterns[static_cast<std::size_t>(index)];
}

void CBatchAddClassDialog::updatePreview()
{
    m_preview->setText(QString::fromStdString(selectedPattern().ClassName(0)));
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
    accept();
}
