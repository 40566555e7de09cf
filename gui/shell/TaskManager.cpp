#include "gui/shell/TaskManager.h"

#include "base/util/AccountName.h"
#include "gui/shell/BackupDialog.h"
#include "core/Core.h"
#include "base/util/FileUtil.h"
#include "gui/common/FolderAccess.h"
#include "base/util/IniFile.h"
#include "gui/shell/InstallLayout.h"
#include "gui/common/MessageBox.h"
#include "base/util/NumberText.h"
#include "base/task/ScheduleTask.h"
#include "base/task/TaskCreator.h"
#include "base/task/TaskLock.h"
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
#include <QScopedValueRollback>
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
    const QString configDir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                              + QStringLiteral("/Quillon");
    QDir().mkpath(configDir);
    return QDir::toNativeSeparators(configDir + QStringLiteral("/qz.ini")).toStdString();
}

CTaskManager::CTaskManager(std::string settingsPath)
    : m_settingsPath(std::move(settingsPath))
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

void CTaskManager::closeTask()
{
    if (!m_task)
        return;
    CWorkerBridge::waitUntilTaskIsFree(*m_task);
    m_task.reset();
    m_lock.reset();
    m_readOnly = false;
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
    if (!m_task) {
        m_mainWindow->taskClosed();
        return;
    }
    const CTaskInfo& info = m_task->GetTaskInfo();
    m_mainWindow->taskTitleChanged(qs(info.GetTaskName()), qs(info.GetTaskFile()), m_readOnly);
}

bool CTaskManager::confirmCloseCurrent()
{
    const QString question =
        QStringLiteral("分班任务 \"%1\" 正在使用。\n要打开新的分班任务，必须先关闭该分班任务，要继续吗")
            .arg(qs(m_task->GetTaskInfo().GetTaskName()));
    return CMessageBox::question(dialogParent(), question);
}

void CTaskManager::installMessageHandler(CScheduleTask& task)
{
    // An engine run reports a failed save in its report; the controller
    // reports its own saves.
    task.SetMessageHandler([this, owner = &task](const std::string& text) {
        if (!m_quietTaskMessages && !CCore::IsTaskBusy(owner))
            showTaskMessage(text);
    });
}

bool CTaskManager::lockTask(const std::string& path, std::unique_ptr<CTaskLock>& lock)
{
    lock = std::make_unique<CTaskLock>(CFileUtil::FromPath(CFileUtil::ToPath(path).parent_path()));
    if (lock->Acquire("Quillon") != CTaskLock::Result::HeldByOther)
        return true; // a lock that cannot be made (read-only folder) stops nothing
    const CTaskLock::Holder& holder = lock->GetHolder();
    QString who = qs(holder.program.empty() ? std::string("另一程序") : holder.program);
    if (!holder.user.empty())
        who += QStringLiteral("，用户 %1").arg(qs(holder.user));
    if (!holder.host.empty())
        who += QStringLiteral("，计算机 %1").arg(qs(holder.host));
    if (!holder.time.empty())
        who += QStringLiteral("，自 %1 起").arg(qs(holder.time));
    const QString question =
        QStringLiteral("分班任务 %1 正被另一程序使用（%2）。\n两个程序同时修改同一个分班任务，其中一个的修改会丢失。\n"
                       "要以只读方式打开该分班任务吗？")
            .arg(qs(path), who);
    lock.reset();
    return CMessageBox::question(dialogParent(), question);
}

void CTaskManager::adoptTask(std::unique_ptr<CScheduleTask> task, const std::string& path,
                             std::unique_ptr<CTaskLock> lock)
{
    m_task = std::move(task);
    m_lock = std::move(lock);
    m_readOnly = !m_lock || !CFolderAccess::canWriteIn(m_task->GetTaskInfo().GetTaskFolder());
    m_task->SetReadOnly(m_readOnly);
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
    if (m_task) {
        if (CFileUtil::SamePath(m_task->GetTaskInfo().GetTaskFile(), path))
            return true;
    }
    // Asked first, so that a "no" leaves the task in use open.
    std::unique_ptr<CTaskLock> lock;
    if (!lockTask(path, lock))
        return false;
    if (m_task) {
        if (!confirmCloseCurrent())
            return false;
        closeTask();
    }

    auto task = std::make_unique<CScheduleTask>();
    installMessageHandler(*task);
    if (!task->Open(path))
        return false; // the previous task is gone as well, and the window says so
    const bool heldByOther = !lock;
    adoptTask(std::move(task), path, std::move(lock));

    if (heldByOther)
        return true; // the question said it all
    if (m_readOnly) {
        // Told once; nothing is written into the folder from now on.
        CMessageBox::show(parent,
                          QStringLiteral("分班任务文件夹 %1 不能写入（只读的共享文件夹或U盘，或者没有写入权限）。\n"
                                         "分班任务以只读方式打开：可以查看数据和自动分班，但结果不能保存到这个文件夹，"
                                         "可以另存到其他文件夹。")
                              .arg(qs(m_task->GetTaskInfo().GetTaskFolder())),
                          CMessageBox::Icon::Warning);
        return true;
    }
    // Both data files are rewritten in the current form right away; a file
    // that was not read completely is kept aside first.
    const bool saveInput = preserveUnreadableInput(*m_task);
    saveDataFiles(*m_task, saveInput);
    return true;
}

bool CTaskManager::preserveUnreadableInput(CScheduleTask& task)
{
    const std::string inputPath = task.GetTaskInfo().GetInputFilePath();
    const bool damaged = task.IsInputDamaged();
    const bool unreadable = task.GetInputState() == CScheduleTask::InputState::Missing
                            && CFileUtil::FileExists(inputPath)
                            && QFileInfo(qs(inputPath)).size() > 0;
    if (!damaged && !unreadable)
        return true;

    const std::string folder = CFileUtil::WithSeparator(task.GetTaskInfo().GetTaskFolder());
    const std::string stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
    std::string copyPath = folder + "input.damaged-" + stamp + ".xml";
    for (int n = 2; CFileUtil::FileExists(copyPath) || CFileUtil::FolderExists(copyPath); ++n)
        copyPath = folder + "input.damaged-" + stamp + "-" + std::to_string(n) + ".xml";

    const auto bytes = CFileUtil::ReadFile(inputPath);
    const bool copied = bytes && CFileUtil::WriteFileAtomically(copyPath, *bytes);
    const QString what = damaged
        ? QStringLiteral("分班数据文件 %1 已损坏，只读入了出错位置之前的数据。").arg(qs(inputPath))
        : QStringLiteral("分班数据文件 %1 无法读取，没有读入任何数据。").arg(qs(inputPath));
    if (!copied) {
        CMessageBox::error(dialogParent(),
                           what + QStringLiteral("\n无法另存原文件的副本，为防止数据丢失，该文件暂不改写。"));
        return false;
    }
    CMessageBox::show(dialogParent(),
                      what + QStringLiteral("\n原文件已另存为：\n%1").arg(qs(copyPath)),
                      CMessageBox::Icon::Warning);
    return true;
}

void CTaskManager::saveDataFiles(CScheduleTask& task, bool saveInput)
{
    const QScopedValueRollback<bool> quiet(m_quietTaskMessages, true);
    const CTaskInfo& info = task.GetTaskInfo();
    if (saveInput && !task.SaveInputData())
        CMessageBox::error(dialogParent(), QStringLiteral("保存分班数据失败：\n%1").arg(qs(info.GetInputFilePath())));
    if (!task.SaveOutputData())
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
    if (m_task && !confirmCloseCurrent()) {
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
    if (!m_task)
        return false;
    // A header of its own: the copy's task file is named after its name.
    const CTaskInfo& current = m_task->GetTaskInfo();
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
    const CTaskInfo original = m_task->GetTaskInfo();
    const bool readOnly = m_task->IsReadOnly();
    m_task->SetTaskInfo(info);
    m_task->SetReadOnly(false);
    std::unique_ptr<CTaskLock> lock;
    bool saved = false;
    if (lockTask(info.GetTaskFile(), lock) && lock) {
        const QScopedValueRollback<bool> quiet(m_quietTaskMessages, true);
        saved = info.WriteToFile() && m_task->SaveInputData() && m_task->SaveOutputData()
                && m_task->SaveLastReportInfo();
    }
    auto copy = std::make_unique<CScheduleTask>();
    installMessageHandler(*copy);
    if (!saved || !copy->Open(info.GetTaskFile())) {
        m_task->SetTaskInfo(original);
        m_task->SetReadOnly(readOnly);
        CMessageBox::error(dialogParent(), QStringLiteral("无法把分班任务另存到 %1").arg(qs(info.GetTaskFolder())));
        return false;
    }
    closeTask();
    adoptTask(std::move(copy), info.GetTaskFile(), std::move(lock));
    return true;
}

void CTaskManager::editTaskInfo()
{
    if (!m_task)
        return;
    if (m_readOnly) {
        CMessageBox::information(dialogParent(), QStringLiteral("分班任务以只读方式打开，不能修改分班任务信息。"));
        return;
    }
    CTaskInfo& info = m_task->GetTaskInfo();
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
    if (!m_task) {
        CMessageBox::information(parent, QStringLiteral("没有正在使用的分班任务"));
        return;
    }
    const CTaskInfo& info = m_task->GetTaskInfo();
    CBackupDialog dialog(qs(info.GetTaskName()), qs(info.GetTaskFolder()), parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString chosen = CMessageBox::getExistingDirectory(parent, QStringLiteral("将当前排课任务备份到"), QString());
    if (chosen.isEmpty())
        return;

    // The name becomes a folder and a file name: one that could step out of
    // the chosen folder is replaced by the task file's own name.
    std::string name = info.GetTaskName();
    if (!CTaskInfoDlg::isValidTaskName(qs(name)))
        name = CFileUtil::FromPath(CFileUtil::ToPath(info.GetTaskFile()).stem());
    const std::string target = CFileUtil::WithSeparator(QDir::toNativeSeparators(chosen).toStdString()) + name
                               + CFileUtil::Separator();
    const std::string source = CFileUtil::WithSeparator(info.GetTaskFolder());

    const bool ok = QDir().mkdir(qs(target))
                    && CFileUtil::CopyFileReplacing(info.GetTaskFile(), target + name + ".qz")
                    && CFileUtil::CopyFileReplacing(source + "input.xml", target + "input.xml")
                    && CFileUtil::CopyFileReplacing(source + "output.xml", target + "output.xml");
    if (!ok) {
        CMessageBox::error(parent, QStringLiteral("备份失败,请检查您是否有系统管理员权限"));
        return;
    }
    CMessageBox::information(parent, QStringLiteral("备份成功"));
    if (dialog.openFolderAfterwards())
        openExternal(QUrl::fromLocalFile(qs(target)), parent);
}
