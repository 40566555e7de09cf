#pragma once

#include <QString>

class QWidget;

// What the task manager tells the main window about the open task, and
// where it puts up its dialogs. The main window implements it; nothing
// else of the window is known to the task manager.
class CTaskWindow
{
public:
    virtual ~CTaskWindow() = default;

    // The window the task commands' dialogs and messages belong to.
    virtual QWidget* dialogParent() = 0;
    // A task has been opened (it is shown by taskTitleChanged).
    virtual void taskOpened() = 0;
    // The open task is gone; no task is open now.
    virtual void taskClosed() = 0;
    // The open task's name, task file or state has changed (or was just
    // opened). readOnly: its folder cannot be written.
    virtual void taskTitleChanged(const QString& name, const QString& taskFile, bool readOnly) = 0;

protected:
    CTaskWindow() = default;
    CTaskWindow(const CTaskWindow&) = default;
    CTaskWindow& operator=(const CTaskWindow&) = default;
};
