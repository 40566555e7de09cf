#include "gui/shell/RecentTaskView.h"

#include "base/records/TaskInfo.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kPathRole = Qt::UserRole;
const QColor kGone(150, 150, 150);
} // namespace

CRecentTaskView::CRecentTaskView(QWidget* parent) : QWidget(parent)
{
    m_caption = new QLabel(QStringLiteral("最近使用的分班任务（双击打开）"), this);
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);

    m_list = new QTreeWidget(this);
    m_list->setColumnCount(ColumnCount);
    m_list->setHeaderLabels({QStringLiteral("任务名称"), QStringLiteral("位置"), QStringLiteral("修改时间")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTextElideMode(Qt::ElideMiddle);
    QHeaderView* header = m_list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(NameColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(FolderColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(DateColumn, QHeaderView::ResizeToContents);
    m_list->installEventFilter(this);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { choose(item); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(m_caption);
    layout->addWidget(m_list, 1);
}

void CRecentTaskView::setTasks(const std::vector<std::string>& paths)
{
    m_list->clear();
    for (const std::string& entry : paths) {
        const QString path = QString::fromStdString(entry);
        const QFileInfo file(path);
        auto* item = new QTreeWidgetItem(m_list);
        item->setData(NameColumn, kPathRole, path);
        item->setText(NameColumn, taskName(path));
        item->setText(FolderColumn, QDir::toNativeSeparators(file.absolutePath()));
        item->setToolTip(FolderColumn, QDir::toNativeSeparators(path));
        const QString date = changedDate(path);
        item->setText(DateColumn, date.isEmpty() ? QStringLiteral("文件不存在") : date);
        if (date.isEmpty())
            for (int column = 0; column < ColumnCount; ++column)
                item->setForeground(column, kGone);
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

QString CRecentTaskView::pathAt(int row) const
{
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    return item ? item->data(NameColumn, kPathRole).toString() : QString();
}

int CRecentTaskView::rowCount() const
{
    return m_list->topLevelItemCount();
}

QString CRecentTaskView::taskName(const QString& path)
{
    CTaskInfo info;
    if (QFileInfo(path).isFile())
        info.ReadFromFile(path.toStdString());
    const QString name = QString::fromStdString(info.GetTaskName());
    return name.isEmpty() ? QFileInfo(path).completeBaseName() : name;
}

QString CRecentTaskView::changedDate(const QString& path)
{
    const QFileInfo task(path);
    if (!task.isFile())
        return {};
    // A division or an edit changes the data files, not the task file.
    QDateTime changed = task.lastModified();
    for (const char* data : {"input.xml", "output.xml"}) {
        const QFileInfo file(task.dir().filePath(QString::fromLatin1(data)));
        if (file.isFile() && file.lastModified() > changed)
            changed = file.lastModified();
    }
    return changed.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

bool CRecentTaskView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_list->currentItem()) {
            choose(m_list->currentItem());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CRecentTaskView::choose(QTreeWidgetItem* item)
{
    if (item)
        emit taskChosen(item->data(NameColumn, kPathRole).toString());
}
