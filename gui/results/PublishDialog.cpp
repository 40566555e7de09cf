#include "gui/results/PublishDialog.h"

#include "base/task/ScheduleTask.h"
#include "gui/common/DialogUnits.h"
#include "gui/common/MessageBox.h"
#include "gui/common/UICore.h"
#include "gui/render/PublicationPrinter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>
#include <QVBoxLayout>

using DialogUnits::toPixels;
using Column = CPublicationList::Column;

CPublishDialog::CPublishDialog(CScheduleTask& task, const QString& schoolName, QWidget* parent)
    : QDialog(parent), m_task(task)
{
    setWindowTitle(QStringLiteral("分班公示"));
    setObjectName(QStringLiteral("publishDialog"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* intro = new QLabel(QStringLiteral("每班一页（Excel 中每班一张工作表），学生按姓名拼音排序；"
                                            "公示名单不含任何成绩，考号只显示后四位。"),
                             this);
    intro->setWordWrap(true);
    m_school = new QLineEdit(schoolName, this);
    m_school->setPlaceholderText(QStringLiteral("标题中的学校名称"));
    m_mask = new QCheckBox(QStringLiteral("隐去姓名中间的字（张小三 → 张*三，李四 → 李*）"), this);

    m_digestLabel = new QLabel(this);
    m_digestLabel->setWordWrap(true);
    m_digestLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_digestLabel->hide();

    auto* columnRow = new QHBoxLayout;
    const CPublicationList::Options defaults;
    for (Column column : {Column::Name, Column::Sex, Column::School, Column::ExamNumber}) {
        auto* box = new QCheckBox(QString::fromStdString(CPublicationList::ColumnTitle(column)), this);
        box->setChecked(std::find(defaults.columns.begin(), defaults.columns.end(), column) != defaults.columns.end());
        connect(box, &QCheckBox::toggled, this, [this] { updateSave(); });
        m_columns.emplace_back(column, box);
        columnRow->addWidget(box);
    }
    if (!CPublicationList::HasExamNumbers(task)) {
        QCheckBox* numbers = columnBox(Column::ExamNumber);
        numbers->setChecked(false);
        numbers->setEnabled(false);
        numbers->setToolTip(QString::fromUtf8(CPublicationList::kNoExamNumbers));
    }
    columnRow->addStretch(1);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("学校名称："), m_school);
    form->addRow(QStringLiteral("列出："), columnRow);
    form->addRow(QString(), m_mask);

    m_save = new QPushButton(QStringLiteral("保存…"), this);
    m_save->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setAutoDefault(false);
    for (QPushButton* button : {m_save, m_cancel})
        button->setMinimumSize(toPixels(60), toPixels(14));
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (save())
            accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(toPixels(7), toPixels(7), toPixels(7), toPixels(7));
    layout->setSpacing(toPixels(5));
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(m_digestLabel);
    layout->addSpacing(toPixels(3));
    layout->addLayout(buttons);
    CUICore::instance()->SetAllChildWindowFont(this);
    intro->setFixedWidth(toPixels(280));
    m_school->setMinimumWidth(toPixels(180));
    m_digestLabel->setFixedWidth(toPixels(280));
    updateSave();
}

void CPublishDialog::setDigest(const QString& digest, const QString& note)
{
    m_digest = digest.trimmed();
    QString text = note;
    if (!m_digest.isEmpty())
        text = QStringLiteral("页脚附摇号的结果摘要：%1").arg(m_digest)
               + (note.isEmpty() ? QString() : QStringLiteral("\n") + note);
    m_digestLabel->setText(text);
    m_digestLabel->setVisible(!text.isEmpty());
    adjustSize();
}

QCheckBox* CPublishDialog::columnBox(Column column) const
{
    for (const auto& [which, box] : m_columns)
        if (which == column)
            return box;
    return nullptr;
}

CPublicationList::Options CPublishDialog::options() const
{
    CPublicationList::Options options;
    options.columns.clear();
    for (const auto& [column, box] : m_columns)
        if (box->isChecked())
            options.columns.push_back(column);
    options.maskNames = m_mask->isChecked();
    options.schoolName = m_school->text().trimmed().toStdString();
    return options;
}

void CPublishDialog::updateSave()
{
    // A list needs a column besides its numbers.
    m_save->setEnabled(!options().columns.empty());
}

bool CPublishDialog::save()
{
    const CPublicationList list(m_task, options());
    if (list.IsEmpty()) {
        CMessageBox::information(this, QString::fromUtf8(CPublicationList::kNothingToPost));
        return false;
    }
    if (list.GetOptions().columns.empty())
        return false;

    QString name = QStringLiteral("分班公示");
    const QString taskName = QString::fromStdString(m_task.GetTaskInfo().GetTaskName()).trimmed();
    if (!taskName.isEmpty())
        name = taskName + QStringLiteral(" ") + name;
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    const QString folder = QString::fromStdString(m_task.GetTaskInfo().GetTaskFolder());
    QString path = CMessageBox::getSaveFileName(this, QStringLiteral("分班公示"),
                                                QDir(folder).filePath(name + QStringLiteral(".pdf")),
                                                QStringLiteral("PDF 文件 (*.pdf);;Excel 文件 (*.xlsx)"));
    if (path.isEmpty())
        return false;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QStringLiteral("pdf") && suffix != QStringLiteral("xlsx")) {
        // The file dialog asked about the name given, not about this one.
        path += QStringLiteral(".pdf");
        if (QFileInfo::exists(path)
            && !CMessageBox::question(this,
                                      QStringLiteral("%1 已存在。\n要替换它吗？").arg(QDir::toNativeSeparators(path))))
            return false;
    }

    const QString footer =
        QString::fromStdString(CPublicationList::FooterText(CPublicationList::Today(), m_digest.toStdString()));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool saved = CPublicationPrinter::save(list, path, footer, error);
    QApplication::restoreOverrideCursor();
    if (!saved) {
        CMessageBox::error(this, QStringLiteral("分班公示名单没有保存。\n原因：") + error);
        return false;
    }
    if (CMessageBox::question(this, QStringLiteral("分班公示名单已保存。现在要打开它吗？")))
        CMessageBox::openExternal(this, QUrl::fromLocalFile(path));
    return true;
}
