#include "gui/shell/TaskInfoDlg.h"

#include "base/util/FileUtil.h"
#include "gui/common/MessageBox.h"
#include "base/task/TaskCreator.h"
#include "base/records/TaskInfo.h"
#include "gui/shell/TipWnd.h"
#include "gui/common/UICore.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace {
QChar separator()
{
    return QLatin1Char(CFileUtil::Separator());
}

QLabel* label(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}
} // namespace

CTaskInfoDlg::CTaskInfoDlg(CTaskInfo& info, bool editMode, const QString& title, CTipWnd* tip, QWidget* parent)
    : QDialog(parent), m_info(info), m_editMode(editMode), m_tip(tip)
{
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_name = new QLineEdit(this);
    m_description = new QLineEdit(this);
    m_author = new QLineEdit(this);
    m_createTime = new QLineEdit(this);
    m_location = new QLineEdit(this);
    m_browse = new QPushButton(QStringLiteral("..."), this);
    m_browse->setFixedWidth(32);

    auto* grid = new QGridLayout;
    grid->addWidget(label(QStringLiteral("任务名称"), this), 0, 0);
    grid->addWidget(m_name, 0, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("任务描述"), this), 1, 0);
    grid->addWidget(m_description, 1, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("创建者"), this), 2, 0);
    grid->addWidget(m_author, 2, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("创建时间"), this), 3, 0);
    grid->addWidget(m_createTime, 3, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("保存位置"), this), 4, 0);
    grid->addWidget(m_location, 4, 1);
    grid->addWidget(m_browse, 4, 2);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTaskInfoDlg::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addWidget(buttons);
    resize(470, 250);

    m_name->setText(QString::fromStdString(info.GetTaskName()));
    m_description->setText(QString::fromStdString(info.GetDescription()));
    m_author->setText(QString::fromStdString(info.GetTaskAuthor()));
    m_createTime->setText(QString::fromStdString(info.GetCreateDate()));
    m_location->setText(QString::fromStdString(info.GetTaskFolder()));
    if (m_editMode) {
        m_name->setReadOnly(true);
        m_location->setReadOnly(true);
        m_browse->setEnabled(false);
    }

    connect(m_name, &QLineEdit::textChanged, this, [this](const QString& name) {
        if (!m_editMode)
            m_location->setText(locationForName(m_location->text(), name));
    });
    connect(m_browse, &QPushButton::clicked, this, &CTaskInfoDlg::onBrowse);
    m_name->installEventFilter(this);
    m_description->installEventFilter(this);

    CUICore::instance()->SetAllChildWindowFont(this);
}

bool CTaskInfoDlg::isValidTaskName(const QString& name)
{
    return !name.trimmed().isEmpty() && CTaskCreator::IsValidName(name.toStdString());
}

QString CTaskInfoDlg::locationForName(const QString& location, const QString& name)
{
    const int last = location.lastIndexOf(separator());
    const QString head = last > 0 ? location.left(last) : location;
    return head + separator() + name;
}

QString CTaskInfoDlg::createdFolder() const
{
    return m_createdFolder == m_location->text() ? m_createdFolder : QString();
}

void CTaskInfoDlg::onBrowse()
{
    const QString folder = CMessageBox::getExistingDirectory(this, QStringLiteral("选择文件夹"), m_location->text());
    if (folder.isEmpty())
        return;
    QString location = QDir::toNativeSeparators(folder);
    if (!location.endsWith(separator()))
        location += separator();
    m_location->setText(location + m_name->text());
}

void CTaskInfoDlg::onOk()
{
    const QString name = m_name->text();
    // A new name of blanks alone is no name either.
    if (name.isEmpty() || (!m_editMode && name.trimmed().isEmpty())) {
        CMessageBox::information(this, QStringLiteral("任务名称不能为空"));
        m_name->setFocus();
        return;
    }
    if (!m_editMode && !isValidTaskName(name)) {
        CMessageBox::information(this, QStringLiteral("任务名称不能包含下列字符：\\ / : * ? \" < > |"));
        m_name->setFocus();
        return;
    }
    const QString location = m_location->text();
    if (!location.isEmpty() && !QFileInfo::exists(location) && QDir().mkdir(location))
        m_createdFolder = location;
    if (location.isEmpty() || !QFileInfo(location).isDir()) {
        CMessageBox::error(this, QStringLiteral("保存位置无效"));
        m_location->setFocus();
        return;
    }

    m_info.SetTaskName(name.toStdString());
    m_info.SetTaskFolder(location.toStdString());
    m_info.SetDescription(m_description->text().toStdString());
    m_info.SetCreateDate(m_createTime->text().toStdString());
    m_info.SetTaskAuthor(m_author->text().toStdString());

    if (!m_editMode && CFileUtil::FileExists(m_info.GetTaskFile())) {
        CMessageBox::information(this, QStringLiteral("分班任务 %1 已存在").arg(name));
        m_name->setFocus();
        return;
    }
    // A new task in the folder of another one would share its data files.
    if (!m_editMode) {
        const CTaskCreator::Result check = CTaskCreator::CheckFolder(location.toStdString());
        if (check.outcome != CTaskCreator::Outcome::Created) {
            CMessageBox::information(this, QString::fromStdString(check.message));
            m_location->setFocus();
            return;
        }
    }
    accept();
}

void CTaskInfoDlg::showTip(QWidget* box, const QString& title, const QString& text)
{
    if (!m_tip)
        return;
    // At the box's top-right corner; kept on the screen when the box is
    // near its right edge.
    QPoint at = box->mapToGlobal(QPoint(box->width(), 0));
    m_tip->show(at.x(), at.y(), title, text);
    if (const QScreen* screen = box->screen()) {
        const QRect available = screen->availableGeometry();
        if (m_tip->geometry().right() > available.right()) {
            at.setX(std::max(available.left(), available.right() - m_tip->width()));
            m_tip->move(at);
        }
    }
}

bool CTaskInfoDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == m_name)
            showTip(m_name, QStringLiteral("分班任务的名称"),
                    QStringLiteral("例如：%1学年新生").arg(QDate::currentDate().year()));
        else if (watched == m_description)
            showTip(m_description, QString(), QStringLiteral("分班任务的描述(可不填)"));
    } else if (event->type() == QEvent::FocusOut && (watched == m_name || watched == m_description)) {
        if (m_tip)
            m_tip->hide();
    }
    return QDialog::eventFilter(watched, event);
}

void CTaskInfoDlg::done(int result)
{
    if (m_tip)
        m_tip->hide();
    QDialog::done(result);
}
