#include "gui/shell/TaskManager.h"

#include "base/util/AccountName.h"
#include "gui/shell/BackupDialog.h"
#include "core/Core.h"
#include "base/util/FileUtil.h"
#include "gui/common/FolderAccess.h"
#include "logic/session/TaskSession.h"
#include "base/util/IniFile.h"
#include "gui/shell/InstallLayout.h"
#include "gui/common/MessageBox.h"
#include "base/util/NumberText.h"
#include "base/task/ScheduleTask.h"
#include "base/task/TaskCreator.h"
#include "base/task/TaskBackup.h"
#include "gui/shell/TaskInfoDlg.h"
#include "gui/shell/TaskWindow.h"
#include "gui/shell/TipWnd.h"
#include "gui/common/UICore.h"
#include "gui/common/WorkerBridge.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMetaObject>
#include <QStandardPaths>
#include <QThread>

#include <cstdlib>

namespace {
// The controller and the settings file the next one is made with.
struct Holder
{
    std::unique_ptr<CTaskManager> manager;
    std::string settingsFile;
};

Holder& holder()
{
    static Holder held;
    return held;
}

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string documentsFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return CFileUtil::WithSeparator(QDir::toNativeSeparators(folder).toStdString());
}

// Shows a task's message on the window thread. The engine's worker may
// report a failed save; it must not wait for the user, so the box is queued.
void showTaskMessage(const std::string& text)
{
    const QString message = qs(text);
    auto show = [message] { CMessageBox::error(QApplication::activeWindow(), message); };
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (QThread::currentThread() == app->thread())
        show();
    else
        QMetaObject::invokeMethod(app, show, Qt::QueuedConnection);
}
} // namespace

CTaskManager* CTaskManager::instance()
{
    auto& manager = holder().manager;
    if (!manager)
        manager.reset(new CTaskManager(settingsFilePath()));
    return manager.get();
}

void CTaskManager::release()
{
    holder().manager.reset();
}

void CTaskManager::setSettingsFile(const std::string& path)
{
    holder().settingsFile = path;
}

CTaskManager* CTaskManager::existing()
{
    return holder().manager.get();
}

std::string CTaskManager::settingsFilePath()
{
    return settingsFilePath(QCoreApplication::applicationDirPath(), QString::fromStdString(holder().settingsFile));
}

std::string CTaskManager::settingsFilePath(const QString& programDir, const QString& chosen)
{
    if (!chosen.isEmpty())
        return QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath()).toStdString();
    // An installed program's folder belongs to the system, even where this
    // user (root) could write into it.
    if (!programDir.isEmpty() && !CInstallLayout::isInstalled(programDir) && CFolderAccess::canWriteIn(programDir))
        return QDir::toNativeSeparators(programDir + QStringLiteral("/qz.ini")).toStdString();
    const QString configDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Quillon");
    QDir().mkpath(configDir);
    return QDir::toNativeSeparators(configDir + QStringLiteral("/qz.ini")).toStdString();
}

CTaskManager::CTaskManager(std::string settingsPath) : m_settingsPath(std::move(settingsPath))
{
    m_recent.bind(m_settingsPath, CRecentTaskList::kDefaultCapacity);
    readSettings();
    m_tip = std::make_unique<CTipWnd>();
    m_tip->setFont(CUICore::instance()->getDefaultFont());
}

CTaskManager::~CTaskManager()
{
    closeTask();
}

void CTaskManager::readSettings()
{
    CIniFile ini(m_settingsPath);
    ini.Load();
    m_recent.read(ini);

    m_school.name = ini.GetString("Common", "SchoolName", "演示学校", 1023);
    m_lastPage = CNumberText::LeadingInt(ini.GetString("Common", "LastPage", "1"));

    const std::string documents = documentsFolder();
    const std::string exportFolder = ini.GetString("Export", "Folder", documents);
    m_export.folder = CFileUtil::FolderExists(exportFolder) ? exportFolder : documents;
    m_export.showSchoolName = ini.GetBool("Export", "ShowSchoolName", true);
    m_export.subjectNameOnly = ini.GetBool("Export", "SubjectNameOnly", false);
    m_export.showHeadTeacherName = ini.GetBool("Export", "ShowHeadTeacherName", false);

    m_print.normalPrint = ini.GetBool("Print", "NormalPrint", true);
    m_print.showSchoolName = ini.GetBool("Print", "ShowSchoolName", true);
    m_print.showHeadTeacherName = ini.GetBool("Print", "ShowHeadTeacherName", false);
    m_print.subjectNameOnly = ini.GetBool("Print", "SubjectNameOnly", false);
    m_print.showDateInfo = ini.GetBool("Print", "ShowDateInfo", false);

    m_tableFont = TableFont{};
    m_tableFont.faceName = ini.GetString("TableFont", "Name", "微软雅黑", 31);
    m_tableFont.height = ini.GetInt("TableFont", "Height", -16);
    m_tableFont.width = ini.GetInt("TableFont", "Width", 0);
    m_tableFont.weight = ini.GetInt("TableFont", "Weight", 400);
    m_tableFont.italic = ini.GetInt("TableFont", "Italic", 0);

    m_schoolTableType = ini.GetInt("SchoolTable", "Type", 0);
    m_schoolTableShowFullName = ini.GetBool("SchoolTable", "ShowFullName", false);
    m_schoolTableShowThirdInfo = ini.GetBool("SchoolTable", "ShowThirdInfo", false);
}

void CTaskManager::writeLastPage(int page)
{
    CIniFile::WriteInt(m_settingsPath, "Common", "LastPage", page);
}

void CTaskManager::writePrintSettings() const
{
    CIniFile ini(m_settingsPath);
    ini.Load();
    ini.SetBool("Print", "NormalPrint", m_print.normalPrint);
    ini.SetBool("Print", "ShowSchoolName", m_print.showSchoolName);
    ini.SetBool("Print", "ShowHeadTeacherName", m_print.showHeadTeacherName);
    ini.SetBool("Print", "SubjectNameOnly", m_print.subjectNameOnly);
    ini.SetBool("Print", "ShowDateInfo", m_print.showDateInfo);
    ini.Save();
}

void CTaskManager::writeSchoolTableSettings() const
{
    CIniFile ini(m_settingsPath);
    ini.Load();
    ini.SetInt("SchoolTable", "Type", m_schoolTableType);
    ini.SetBool("SchoolTable", "ShowFullName", m_schoolTableShowFullName);
    ini.SetBool("SchoolTable", "ShowThirdInfo", m_schoolTableShowThirdInfo);
    ini.Save();
}

void CTaskManager::writeTableFont() const
{
    CIniFile ini(m_settingsPath);
    ini.Load();
    ini.SetString("TableFont", "Name", m_tableFont.faceName);
    ini.SetInt("TableFont", "Height", m_tableFont.height);
    ini.SetInt("TableFont", "Width", m_tableFont.width);
    ini.SetInt("TableFont", "Weight", m_tableFont.weight);
    ini.SetInt("TableFont", "Italic", m_tableFont.italic);
    ini.Save();
}

QWidget* CTaskManager::dialogParent() const
{
    return m_mainWindow ? m_mainWindow->dialogParent() : nullptr;
}

CScheduleTask* CTaskManager::task() const
{
    return m_session ? &m_session->Task() : nullptr;
}

bool CTaskManager::isReadOnly() const
{
    return m_session && m_session->IsReadOnly();
}

void CTaskManager::closeTask()
{
    if (!m_session)
        return;
    CWorkerBridge::waitUntilTaskIsFree(m_session->Task());
    m_session.reset();
    if (m_mainWindow)
        m_mainWindow->taskClosed();
}

std::string CTaskManager::defaultTaskFolder() const
{
    if (!m_defaultTaskFolder.empty())
        return CFileUtil::WithSeparator(m_defaultTaskFolder);
    return CFileUtil::WithSeparator(documentsFolder() + "Lumo分班任务");
}

bool CTaskManager::openExternal(const QUrl& url, QWidget* parent)
{
    m_openedUrls.push_back(url);
    return CMessageBox::openExternal(parent ? parent : dialogParent(), url);
}

void CTaskManager::refreshTaskDisplay()
{
    if (!m_mainWindow)
        return;
    if (!m_session) {
        m_mainWindow->taskClosed();
        return;
    }
    const CTaskInfo& info = m_session->Task().GetTaskInfo();
    m_mainWindow->taskTitleChanged(qs(info.GetTaskName()), qs(info.GetTaskFile()), m_session->IsReadOnly());
}

bool CTaskManager::confirmCloseCurrent()
{
    const QString question =
        QStringLiteral("分班任务 \"%1\" 正在使用。\n要打开新的分班任务，必须先关闭该分班任务，要继续吗")
            .arg(qs(m_session->Task().GetTaskInfo().GetTaskName()));
    return CMessageBox::question(dialogParent(), question);
}

void CTaskManager::installMessageHandler(CScheduleTask& task)
{
    // An engine run reports a failed save in its report.
    task.SetMessageHandler([owner = &task](const std::string& text) {
        if (!CCore::IsTaskBusy(owner))
            showTaskMessage(text);
    });
}

std::unique_ptr<CTaskSession> CTaskManager::lockTask(const std::string& path, bool newTask)
{
    auto session = std::make_unique<CTaskSession>("Quillon", CTaskSession::WhenHeld::OfferReadOnly);
    const CTaskSession::Result locked = newTask ? session->LockNew(path) : session->Lock(path);
    if (locked.outcome == CTaskSession::Outcome::HeldByOther
        && !CMessageBox::question(dialogParent(), qs(locked.message)))
        return nullptr;
    return session;
}

void CTaskManager::adoptTask(std::unique_ptr<CTaskSession> session, const std::string& path)
{
    m_session = std::move(session);
    if (m_mainWindow)
        m_mainWindow->taskOpened();
    refreshTaskDisplay();
    m_recent.add(path);
}

bool CTaskManager::openTask(std::string path)
{
    QWidget* parent = dialogParent();
    if (!CFileUtil::FileExists(path)) {
        CMessageBox::error(parent, QStringLiteral("分班任务文件 %1 不存在").arg(qs(path)));
        return false;
    }
    if (m_session) {
        if (CFileUtil::SamePath(m_session->Task().GetTaskInfo().GetTaskFile(), path))
            return true;
    }
    // Asked first, so that a "no" leaves the task in use open.
    std::unique_ptr<CTaskSession> session = lockTask(path);
    if (!session)
        return false;
    if (m_session) {
        if (!confirmCloseCurrent())
            return false;
        closeTask();
    }

    installMessageHandler(session->Task());
    const CTaskSession::Result opened = session->Open(path);
    if (opened.outcome == CTaskSession::Outcome::NotFound)
        return false; // the previous task is gone as well, and the window says so
    adoptTask(std::move(session), path);

    if (opened.outcome == CTaskSession::Outcome::ReadOnly) {
        // Told once (the question told already when another program has
        // it); nothing is written into the folder from now on.
        if (!opened.message.empty())
            CMessageBox::show(parent, qs(opened.message), CMessageBox::Icon::Warning);
        return true;
    }
    // Both data files are rewritten in the current form right away; a file
    // that was not read completely is kept aside first.
    const CTaskSession::CopyResult kept = m_session->KeepDamagedInput();
    if (kept.copy == CTaskSession::InputCopy::NotCopied)
        CMessageBox::error(parent, qs(kept.message));
    else if (kept.copy == CTaskSession::InputCopy::Copied)
        CMessageBox::show(parent, qs(kept.message), CMessageBox::Icon::Warning);
    saveDataFiles(m_session->Task(), kept.copy != CTaskSession::InputCopy::NotCopied);
    return true;
}

void CTaskManager::saveDataFiles(CScheduleTask& task, bool saveInput)
{
    const CTaskInfo& info = task.GetTaskInfo();
    if (saveInput && task.WriteInputData() != CScheduleTask::SaveResult::Saved)
        CMessageBox::error(dialogParent(), QStringLiteral("保存分班数据失败：\n%1").arg(qs(info.GetInputFilePath())));
    if (task.WriteOutputData() != CScheduleTask::SaveResult::Saved)
        CMessageBox::error(dialogParent(), QStringLiteral("保存分班数据失败：\n%1").arg(qs(info.GetOutputFilePath())));
}

bool CTaskManager::openTaskWithDialog()
{
    // The chooser starts in the program's folder; an installed program's
    // folder holds no tasks, so there it starts among the user's tasks.
    const QString startDir = QDir::toNativeSeparators(
        CInstallLayout::isInstalled() ? qs(defaultTaskFolder()) : QCoreApplication::applicationDirPath());
    const QString path = CMessageBox::getOpenFileName(dialogParent(), QStringLiteral("打开分班任务"), startDir,
                                                      QStringLiteral("分班任务文件(*.qz)"));
    if (path.isEmpty())
        return false;
    return openTask(QDir::toNativeSeparators(path).toStdString());
}

bool CTaskManager::newTask()
{
    CTaskInfo info;
    info.SetTaskAuthor(CAccountName::Current());
    info.SetCreateDate(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString());
    const std::string folder = defaultTaskFolder();
    QDir().mkpath(qs(folder));
    info.SetTaskFolder(folder);

    CTaskInfoDlg dialog(info, false, QStringLiteral("创建新分班任务"), m_tip.get(), dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // Whether the task in use may be closed is asked before anything of the
    // new task is written: a "no" leaves nothing behind.
    if (m_session && !confirmCloseCurrent()) {
        if (!dialog.createdFolder().isEmpty())
            QDir().rmdir(dialog.createdFolder());
        return false;
    }
    writeLastPage(1);
    const CTaskCreator::Result created = CTaskCreator::Create(info, "Quillon");
    if (created.outcome != CTaskCreator::Outcome::Created) {
        if (!dialog.createdFolder().isEmpty())
            QDir().rmdir(dialog.createdFolder());
        CMessageBox::error(dialogParent(), qs(created.message));
        return false;
    }
    closeTask();
    return openTask(info.GetTaskFile());
}

bool CTaskManager::saveTaskElsewhere()
{
    if (!m_session)
        return false;
    CScheduleTask& task = m_session->Task();
    // A header of its own: the copy's task file is named after its name.
    const CTaskInfo& current = task.GetTaskInfo();
    CTaskInfo info;
    info.SetTaskName(current.GetTaskName());
    info.SetDescription(current.GetDescription());
    info.SetTaskAuthor(current.GetTaskAuthor());
    info.SetCreateDate(current.GetCreateDate());
    const std::string folder = defaultTaskFolder();
    QDir().mkpath(qs(folder));
    info.SetTaskFolder(folder);
    CTaskInfoDlg dialog(info, false, QStringLiteral("将分班任务另存到其他文件夹"), m_tip.get(), dialogParent());
    // As if the name had been typed: the location ends in it.
    dialog.locationEdit()->setText(CTaskInfoDlg::locationForName(qs(folder), qs(info.GetTaskName())));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // The copy would overwrite the data files of a task that lies there.
    const CTaskCreator::Result free = CTaskCreator::CheckFolder(info.GetTaskFolder());
    if (free.outcome != CTaskCreator::Outcome::Created) {
        CMessageBox::error(dialogParent(), qs(free.message));
        return false;
    }

    // The task writes its files where its header says; the header goes back
    // when the copy cannot be made.
    const CTaskInfo original = task.GetTaskInfo();
    const bool readOnly = task.IsReadOnly();
    task.SetTaskInfo(info);
    task.SetReadOnly(false);
    std::unique_ptr<CTaskSession> copy = lockTask(info.GetTaskFile(), true);
    const bool saved = copy && !copy->IsHeldByOther() && info.WriteToFile()
                       && task.WriteInputData() == CScheduleTask::SaveResult::Saved
                       && task.WriteOutputData() == CScheduleTask::SaveResult::Saved && task.SaveLastReportInfo();
    if (copy)
        installMessageHandler(copy->Task());
    if (!saved || copy->Open(info.GetTaskFile()).outcome == CTaskSession::Outcome::NotFound) {
        task.SetTaskInfo(original);
        task.SetReadOnly(readOnly);
        CMessageBox::error(dialogParent(), QStringLiteral("无法把分班任务另存到 %1").arg(qs(info.GetTaskFolder())));
        return false;
    }
    closeTask();
    adoptTask(std::move(copy), info.GetTaskFile());
    return true;
}

void CTaskManager::editTaskInfo()
{
    if (!m_session)
        return;
    if (m_session->IsReadOnly()) {
        CMessageBox::information(dialogParent(), QStringLiteral("分班任务以只读方式打开，不能修改分班任务信息。"));
        return;
    }
    CTaskInfo& info = m_session->Task().GetTaskInfo();
    CTaskInfoDlg dialog(info, true, QStringLiteral("设置分班任务信息"), m_tip.get(), dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!info.WriteToFile())
        CMessageBox::error(dialogParent(), QStringLiteral("无法写入分班任务文件 %1").arg(qs(info.GetTaskFile())));
    refreshTaskDisplay();
}

void CTaskManager::backupTask()
{
    QWidget* parent = dialogParent();
    if (!m_session) {
        CMessageBox::information(parent, QStringLiteral("没有正在使用的分班任务"));
        return;
    }
    const CTaskInfo& info = m_session->Task().GetTaskInfo();
    CBackupDialog dialog(qs(info.GetTaskName()), qs(info.GetTaskFolder()), parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString chosen = CMessageBox::getExistingDirectory(parent, QStringLiteral("将当前分班任务备份到"), QString());
    if (chosen.isEmpty())
        return;

    // The name becomes a folder and a file name: one that could step out of
    // the chosen folder is replaced by the task file's own name.
    std::string name = info.GetTaskName();
    if (!CTaskInfoDlg::isValidTaskName(qs(name)))
        name = CFileUtil::FromPath(CFileUtil::ToPath(info.GetTaskFile()).stem());
    const std::string target =
        CFileUtil::WithSeparator(QDir::toNativeSeparators(chosen).toStdString()) + name + CFileUtil::Separator();

    const bool ok = QDir().mkdir(qs(target)) && CTaskBackup::CopyTask(info, target, name + ".qz");
    if (!ok) {
        CMessageBox::error(parent, QStringLiteral("备份失败,请检查您是否有系统管理员权限"));
        return;
    }
    CMessageBox::information(parent, QStringLiteral("备份成功"));
    if (dialog.openFolderAfterwards())
        openExternal(QUrl::fromLocalFile(qs(target)), parent);
}
