#pragma once

#include "gui/shell/StepCommands.h"

#include <QString>
#include <QWidget>

class CRecentTaskView;
class CSheetHeader;
class CToolBox;
class CToolDesc;

// The five step pages: tab strip, button grid and information panel.
class CStepSheet : public QWidget
{
    Q_OBJECT
public:
    explicit CStepSheet(QWidget* parent = nullptr);

    int addPage(const QString& caption, const QString& description);
    // Adds the four task pages after the welcome page.
    void addTaskPages();
    // Ignored when index is out of range.
    void selectPage(int index);
    int pageCount() const;
    int currentPage() const;
    void setTaskName(const QString& name);
    void setTaskLocation(const QString& location);
    // The information panel's warning about the open task; empty for none.
    void setTaskWarning(const QString& warning);

    CSheetHeader* header() const { return m_header; }
    CToolBox* toolBox() const { return m_toolBox; }
    CToolDesc* toolDesc() const { return m_toolDesc; }
    // The recent tasks under the welcome page's buttons.
    CRecentTaskView* recentTasks() const { return m_recentTasks; }

signals:
    void commandChosen(StepCommandId command);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void onPageSelected(int index);

    CSheetHeader* m_header;
    CToolBox* m_toolBox;
    CToolDesc* m_toolDesc;
    CRecentTaskView* m_recentTasks;
};
