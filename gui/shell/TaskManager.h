#pragma once

#include "gui/shell/RecentTaskList.h"

#include <QString>
#include <QUrl>

#include <memory>
#include <string>
#include <vector>

class CScheduleTask;
class CTaskSession;
class CTaskWindow;
class CTipWnd;
class QWidget;

// The program-wide controller: the settings, the recent-task list and the
// one open division task. Used on the window thread only. It tells the main
// window about the task through CTaskWindow.
class CTaskManager
{
public:
    struct SchoolSettings
    {
        std::string name;
    };

    struct ExportSettings
    {
        std::string folder;
        bool showSchoolName = true;
        bool subjectNameOnly = false;
        bool showHeadTeacherName = false;
    };

    struct PrintSettings
    {
        bool showSchoolName = true;
        bool showHeadTeacherName = false;
        bool showDateInfo = false;
        bool normalPrint = true;
        bool subjectNameOnly = false;
    };

    struct TableFont
    {
        int height = -16;
        int width = 0;
        int weight = 400;
        int italic = 0;
        std::string faceName = "微软雅黑";
    };

    static CTaskManager* instance();
    static void release();
    // The controller if it exists, without making one.
    static CTaskManager* existing();

    // The settings file the controller is made with from now on (the
    // program's --settings); empty for the usual place.
    static void setSettingsFile(const std::string& path);
    // The settings file: the one chosen when there is one; otherwise qz.ini
    // beside the program when that folder is writable and not part of an
    // installation; otherwise qz.ini in the user's configuration folder.
    static std::string settingsFilePath();
    static std::string settingsFilePath(const QString& programDir, const QString& chosen = QString());

    CTaskManager(const CTaskManager&) = delete;
    CTaskManager& operator=(const CTaskManager&) = delete;
    ~CTaskManager();

    bool hasTask() const { return m_session != nullptr; }
    CScheduleTask* task() const;
    // Whether the open task was opened read-only (its folder cannot be
    // written, or another program has it): nothing is saved into it.
    bool isReadOnly() const;
    // Deletes the open task without asking or saving.
    void closeTask();

    void setMainWindow(CTaskWindow* window) { m_mainWindow = window; }
    CTaskWindow* mainWindow() const { return m_mainWindow; }

    CRecentTaskList& recentTasks() { return m_recent; }
    const std::string& settingsPath() const { return m_settingsPath; }
    int lastPage() const { return m_lastPage; }
    void writeLastPage(int page);

    const SchoolSettings& school() const { return m_school; }
    ExportSettings& exportSettings() { return m_export; }
    PrintSettings& printSettings() { return m_print; }
    int schoolTableType() const { return m_schoolTableType; }
    void setSchoolTableType(int type) { m_schoolTableType = type; }
    bool schoolTableShowFullName() const { return m_schoolTableShowFullName; }
    void setSchoolTableShowFullName(bool on) { m_schoolTableShowFullName = on; }
    bool schoolTableShowThirdInfo() const { return m_schoolTableShowThirdInfo; }
    void setSchoolTableShowThirdInfo(bool on) { m_schoolTableShowThirdInfo = on; }
    TableFont& tableFont() { return m_tableFont; }
    void writePrintSettings() const;
    void writeSchoolTableSettings() const;
    void writeTableFont() const;

    CTipWnd* tip() const { return m_tip.get(); }

    // Task commands.
    // Takes the path by value: callers pass entries of the recent list,
    // which opening rewrites.
    bool openTask(std::string path);
    bool openTaskWithDialog();
    bool newTask();
    void editTaskInfo();
    void backupTask();
    void refreshTaskDisplay();
    // Saves the open task, as it is in memory, as a new task under a name
    // and in a folder the user picks, and opens that copy instead. For a
    // result that could not be saved where the task is. True when the copy
    // is the open task afterwards.
    bool saveTaskElsewhere();

    // Where new tasks go by default: the documents folder + "Lumo分班任务".
    std::string defaultTaskFolder() const;
    void setDefaultTaskFolder(const std::string& folder) { m_defaultTaskFolder = folder; }

    // Opens a web page, file or folder with the desktop's program, through
    // the message layer, which tells the user when no program can open it
    // (false then). In the message layer's test mode the address is only
    // recorded. parent: the window the message belongs to, the main window
    // when none.
    bool openExternal(const QUrl& url, QWidget* parent = nullptr);
    const std::vector<QUrl>& openedUrls() const { return m_openedUrls; }

private:
    explicit CTaskManager(std::string settingsPath);

    QWidget* dialogParent() const;
    void readSettings();
    // Asks whether the open task may be closed for another one.
    bool confirmCloseCurrent();
    // Shows the task's failed file operations, except those of an engine
    // run, which reports them itself.
    void installMessageHandler(CScheduleTask& task);
    // A session for the task at path with its lock taken (newTask: for a
    // task about to be written there). When another program holds it, asks
    // whether to open the task read-only: null when the answer is no.
    std::unique_ptr<CTaskSession> lockTask(const std::string& path, bool newTask = false);
    // Makes the session's task the open task: display, recent list, task
    // pages.
    void adoptTask(std::unique_ptr<CTaskSession> session, const std::string& path);
    void saveDataFiles(CScheduleTask& task, bool saveInput);

    // The open task with its lock, held while the task is open so that no
    // second program changes it.
    std::unique_ptr<CTaskSession> m_session;
    CTaskWindow* m_mainWindow = nullptr;
    CRecentTaskList m_recent;
    std::string m_settingsPath;
    int m_lastPage = 1;
    SchoolSettings m_school;
    ExportSettings m_export;
    PrintSettings m_print;
    int m_schoolTableType = 0;
    bool m_schoolTableShowFullName = false;
    bool m_schoolTableShowThirdInfo = false;
    std::unique_ptr<CTipWnd> m_tip;
    TableFont m_tableFont;
    std::string m_defaultTaskFolder;
    std::vector<QUrl> m_openedUrls;
};
