#pragma once

#include <QString>
#include <QWidget>

#include <string>
#include <vector>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The welcome page's list of the recently opened tasks: the task's name,
// its folder and when its files last changed, most recent first. A
// double-click or Enter on a row asks for that task.
class CRecentTaskView : public QWidget
{
    Q_OBJECT
public:
    enum Column
    {
        NameColumn,
        FolderColumn,
        DateColumn,
        ColumnCount
    };

    explicit CRecentTaskView(QWidget* parent = nullptr);

    // Shows the task files in the order given; a file that is gone stays in
    // the list, marked so.
    void setTasks(const std::vector<std::string>& paths);
    // The task file of a row.
    QString pathAt(int row) const;
    int rowCount() const;
    QTreeWidget* list() const { return m_list; }

    // The name the task file gives, else the file's base name; the date the
    // task last changed (its task and data files) as "yyyy-MM-dd HH:mm",
    // empty for a file that is gone.
    static QString taskName(const QString& path);
    static QString changedDate(const QString& path);

signals:
    void taskChosen(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose(QTreeWidgetItem* item);

    QLabel* m_caption = nullptr;
    QTreeWidget* m_list = nullptr;
};
