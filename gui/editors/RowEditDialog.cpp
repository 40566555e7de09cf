#include "gui/editors/RowEditDialog.h"

#include <QPushButton>
#include <QVBoxLayout>

CRowEditDialog::CRowEditDialog(CListEditorDialog& editor, Mode mode, const QString& addTitle,
                               const QString& modifyTitle, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_mode(mode)
{
    setWindowTitle(mode == Mode::Modify ? modifyTitle : addTitle);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

QVBoxLayout* CRowEditDialog::createButtons(const std::function<void()>& submit, const QString& closeText)
{
    m_submit = new QPushButton(m_mode == Mode::Modify ? QStringLiteral("保存(&S)") : QStringLiteral("添加(&A)"), this);
    m_submit->setDefault(true);
    connect(m_submit, &QPushButton::clicked, this, submit);
    auto* close = new QPushButton(closeText, this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_submit);
    buttons->addWidget(close);
    buttons->addStretch(1);
    return buttons;
}

bool CRowEditDialog::submitToEditor(const CListEditorDialog::Row& row, CMessageBox::Icon icon)
{
    RowRequest request;
    request.mode = m_mode == Mode::Modify ? RowMode::Replace : RowMode::Add;
    if (m_editor.SubmitRow(request, row) != 0 || !request.accepted) {
        if (!request.message.empty())
            CMessageBox::show(this, QString::fromStdString(request.message), icon);
        return false;
    }
    if (m_mode == Mode::Modify)
        accept();
    return true;
}
