#pragma once

#include "gui/shell/StepCommands.h"
#include "gui/shell/TaskWindow.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <string>

class CMainToolBar;
class CStepSheet;

// The one top-level window: the picture band with the logo, the icon bar
// and the five step pages. Closing it ends the program. It shows the task
// the task manager tells it about.
class CMainDlg : public QWidget, public CTaskWindow
{
    Q_OBJECT
public:
    static constexpr int kBandHeight = 100;
    static constexpr int kMargin = 10;

    // Opens startTask, or else the most recent task, and shows the step
    // page last used.
    explicit CMainDlg(const std::string& startTask = {}, QWidget* parent = nullptr);
    ~CMainDlg() override;

    CStepSheet* sheet() const { return m_sheet; }
    CMainToolBar* toolBar() const { return m_toolBar; }
    int currentPage() const;
    // The base title, followed by " - " and the name when one is given.
    void setTaskTitle(const QString& taskName);
    QRect logoRect() const { return m_logoRect; }

    // CTaskWindow
    QWidget* dialogParent() override { return this; }
    void taskOpened() override;
    void taskClosed() override;
    void taskTitleChanged(const QString& name, const QString& taskFile, bool readOnly) override;

    // The information panel's red line when the open task's classes plan
    // fewer seats than it has students; called when a task opens and after
    // its classes or students were edited.
    void refreshSeatWarning();

    // The commands of the step pages' buttons and of the icon bar.
    void runCommand(StepCommandId command);
    void runToolBarItem(int type);
    // Shows the program's help page in the browser.
    void openWebsite();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void layoutChildren();
    void openCommand();
    // The welcome page's list of recent tasks, read afresh.
    void showRecentTasks();
    void openRecentTask(const QString& path);
    void startDivision();
    void balanceDivision();
    void lotteryDivision();
    bool requireTask();
    void onTaskZoneClicked();
    void onLocationZoneClicked();
    // Writes the current page, releases the shared resources and the
    // controller with its task. Runs once.
    void shutdown();

    CMainToolBar* m_toolBar = nullptr;
    CStepSheet* m_sheet = nullptr;
    QRect m_logoRect;
    bool m_initialised = false;
    bool m_shutDown = false;
};
