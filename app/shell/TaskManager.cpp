#include "TaskManager.h"

#include "BackupDlg.h"
#include "Core.h"
#include "FileUtil.h"
#include "IniFile.h"
#include "MainDlg.h"
#include "MessageBox.h"
#include "NumberText.h"
#include "ScheduleTask.h"
#include "StepSheet.h"
#include "TaskInfoDlg.h"
#include "TextCodec.h"
#include "TipWnd.h"
#include "UICore.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMetaObject>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>

#include <cstdlib>

namespace {
std::unique_ptr<CTaskManager>& holder()
{
    static std::unique_ptr<CTaskManager> manager;
    return manager;
}

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

// Whether a file can be made in folder; permission bits alone do not tell
// on every system.
bool isWritableFolder(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.quillon-probe-XXXXXX"));
    return probe.open();
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
    auto& manager = holder();
    if (!manager)
        manager.reset(new CTaskManager());
    return manager.get();
}

void CTaskManager::release()
{
    holder().reset();
}

CTaskManager* CTaskManager::existing()
{
    return holder().get();
}

std::string CTaskManager::settingsFilePath()
{
    const QString fromEnvironment = qEnvironmentVariable("QUILLON_SETTINGS");
    if (!fromEnvironment.isEmpty())
        return QDir::toNativeSeparators(QFileInfo(fromEnvironment).absoluteFilePath()).toStdString();
    const QString programDir = QCoreApplication::applicationDirPath();
    if (!programDir.isEmpty() && isWritableFolder(programDir))
        return QDir::toNativeSeparators(programDir + QStringLiteral("/qz.ini")).toStdString();
    const QString configDir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                              + QStringLiteral("/Quillon");
    QDir().mkpath(configDir);
    return QDir::toNativeSeparators(configDir + QStringLiteral("/qz.ini")).toStdString();
}

QString CTaskManager::passwordDigest(const QString& password)
{
    const std::string bytes = CTextCodec::ToGbk(password.toStdString());
    const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(bytes),
                                                       QCryptographicHash::Md5);
    return QString::fromLatin1(digest.toHex());
}

QString CTaskManager::baseTitle()
{
    return QStringLiteral("Lumo智能分班系统 1.0.0");
}

CTaskManager::CTaskManager()
    : m_settingsPath(settingsFilePath())
{
    m_recent.bind(m_settingsPath, CRecentTaskList::DefaultCapacity);
    readSettings();
    m_tip = std::make_unique<CTipWnd>();
    m_tip->setFont(CUICore::instance()->GetDefaultFont());
}

CTaskManager::~CTaskManager()
{
    closeTask();
}

void CTaskManager::readSettings()
{
    const std::string& ini = m_settingsPath;
    m_recent.read();

    m_school.name = CIniFile::ReadString(ini, "Common", "SchoolName", "演示学校", 1023);
    m_lastPage = CNumberText::LeadingInt(CIniFile::ReadString(ini, "Common", "LastPage", "1"));

    const std::string documents = documentsFolder();
    const std::string exportFolder = CIniFile::ReadString(ini, "Export", "Folder", documents);
    m_export.folder = CFileUtil::FolderExists(exportFolder) ? exportFolder : documents;
    m_export.showSchoolName = CIniFile::ReadBool(ini, "Export", "ShowSchoolName", true);
    m_export.subjectNameOnly = CIniFile::ReadBool(ini, "Export", "SubjectNameOnly", false);
    m_export.showHeadTeacherName = CIniFile::ReadBool(ini, "Export", "ShowHeadTeacherName", false);

    m_print.normalPrint = CIniFile::ReadBool(ini, "Print", "NormalPrint", true);
    m_print.showSchoolName = CIniFile::ReadBool(ini, "Print", "ShowSchoolName", true);
    m_print.showHeadTeacherName = CIniFile::ReadBool(ini, "Print", "ShowHeadTeacherName", false);
    m_print.subjectNameOnly = CIniFile::ReadBool(ini, "Print", "SubjectNameOnly", false);
    m_print.showDateInfo = CIniFile::ReadBool(ini, "Print", "ShowDateInfo", false);

    m_tableFont = TableFont{};
    m_tableFont.faceName = CIniFile::ReadString(ini, "TableFont", "Name", "微软雅黑", 31);
    m_tableFont.height = CIniFile::ReadInt(ini, "TableFont", "Height", -16);
    m_tableFont.width = CIniFile::ReadInt(ini, "TableFont", "Width", 0);
    m_tableFont.weight = CIniFile::ReadInt(ini, "TableFont", "Weight", 400);
    m_tableFont.italic = CIniFile::ReadInt(ini, "TableFont", "Italic", 0);

    m_schoolTableType = CIniFile::ReadInt(ini, "SchoolTable", "Type", 0);
    m_schoolTableShowFullName = CIniFile::ReadBool(ini, "SchoolTable", "ShowFullName", false);
    m_schoolTableShowThirdInfo = CIniFile::ReadBool(ini, "SchoolTable", "ShowThirdInfo", false);
}

void CTaskManager::writeLastPage(int page)
{
    CIniFile::WriteInt(m_settingsPath, "Common", "LastPage", page);
}

void CTaskManager::writePrintSettings() const
{
    CIniFile::WriteBool(m_settingsPath, "Print", "NormalPrint", m_print.normalPrint);
    CIniFile::WriteBool(m_settingsPath, "Print", "ShowSchoolName", m_print.showSchoolName);
    CIniFile::WriteBool(m_settingsPath, "Print", "ShowHeadTeacherName", m_print.showHeadTeacherName);
    CIniFile::WriteBool(m_settingsPath, "Print", "SubjectNameOnly", m_print.subjectNameOnly);
    CIniFile::WriteBool(m_settingsPath, "Print", "ShowDateInfo", m_print.showDateInfo);
}

void CTaskManager::writeSchoolTableSettings() const
{
    CIniFile::WriteInt(m_settingsPath, "SchoolTable", "Type", m_schoolTableType);
    CIniFile::WriteBool(m_settingsPath, "SchoolTable", "ShowFullName", m_schoolTableShowFullName);
    CIniFile::WriteBool(m_settingsPath, "SchoolTable", "ShowThirdInfo", m_schoolTableShowThirdInfo);
}

void CTaskManager::writeTableFont() const
{
    CIniFile::WriteString(m_settingsPath, "TableFont", "Name", m_tableFont.faceName);
    CIniFile::WriteInt(m_settingsPath, "TableFont", "Height", m_tableFont.height);
    CIniFile::WriteInt(m_settingsPath, "TableFont", "Width", m_tableFont.width);
    CIniFile::WriteInt(m_settingsPath, "TableFont", "Weight", m_tableFont.weight);
    CIniFile::WriteInt(m_settingsPath, "TableFont", "Italic", m_tableFont.italic);
}

QWidget* CTaskManager::dialogParent() const
{
    return m_mainWindow;
}

void CTaskManager::closeTask()
{
    if (!m_task)
        return;
    // A division worker that was stopped may still be on its way out and
    // touch the task; it can be waiting for this thread, so events other
    // than the user's keep flowing while we wait.
    while (!CCore::WaitForTask(m_task.get(), 50))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_task.reset();
}

std::string CTaskManager::defaultTaskFolder() const
{
    if (!m_defaultTaskFolder.empty())
        return CFileUtil::WithSeparator(m_defaultTaskFolder);
    return CFileUtil::WithSeparator(documentsFolder() + "Lumo分班任务");
}

void CTaskManager::openExternal(const QUrl& url)
{
    m_openedUrls.push_back(url);
    if (!CMessageBox::isTestMode())
        QDesktopServices::openUrl(url);
}

void CTaskManager::refreshTaskDisplay()
{
    if (!m_mainWindow)
        return;
    CStepSheet* sheet = m_mainWindow->sheet();
    if (m_task) {
        const CTaskInfo& info = m_task->GetTaskInfo();
        m_mainWindow->setTaskTitle(qs(info.GetTaskName()));
        sheet->setTaskName(qs(info.GetTaskName()));
        sheet->setTaskLocation(qs(info.GetTaskFile()));
    } else {
        m_mainWindow->setTaskTitle(QString());
        sheet->setTaskName(QStringLiteral("无"));
        sheet->setTaskLocation(QString());
    }
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
        const QString question =
            QStringLiteral("分班任务 \"%1\" 正在使用。\n要打开新的分班任务，必须先关闭该分班任务，要继续吗")
                .arg(qs(m_task->GetTaskInfo().GetTaskName()));
        if (!CMessageBox::question(parent, question))
            return false;
        closeTask();
    }

    m_task = std::make_unique<CScheduleTask>();
    m_task->SetMessageHandler(showTaskMessage);
    if (!m_task->Open(path)) {
        // The previous task is gone as well: the window must not name it.
        closeTask();
        refreshTaskDisplay();
        return false;
    }

    refreshTaskDisplay();
    m_recent.add(path);
    if (m_mainWindow && m_mainWindow->sheet()->pageCount() == 1)
        m_mainWindow->sheet()->addTaskPages();
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
    const CTaskInfo& info = task.GetTaskInfo();
    if (saveInput && !task.SaveInputData())
        CMessageBox::error(dialogParent(), QStringLiteral("保存分班数据失败：\n%1").arg(qs(info.GetInputFilePath())));
    if (!task.SaveOutputData())
        CMessageBox::error(dialogParent(), QStringLiteral("保存分班数据失败：\n%1").arg(qs(info.GetOutputFilePath())));
}

bool CTaskManager::openTaskWithDialog()
{
    // The chooser starts in the program's folder.
    const QString startDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    const QString path = CMessageBox::getOpenFileName(dialogParent(), QStringLiteral("打开分班任务"), startDir,
                                                      QStringLiteral("分班任务文件(*.qz)"));
    if (path.isEmpty())
        return false;
    return openTask(QDir::toNativeSeparators(path).toStdString());
}

bool CTaskManager::newTask()
{
    CTaskInfo info;
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty())
        user = QDir::home().dirName(); // the account's home folder is named after it
    info.SetTaskAuthor(user.toStdString());
    info.SetCreateDate(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString());
    const std::string folder = defaultTaskFolder();
    QDir().mkpath(qs(folder));
    info.SetTaskFolder(folder);

    CTaskInfoDlg dialog(info, false, QStringLiteral("创建新分班任务"), m_tip.get(), dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    writeLastPage(1);
    if (!info.WriteToFile()) {
        CMessageBox::error(dialogParent(), QStringLiteral("无法写入分班任务文件 %1").arg(qs(info.GetTaskFile())));
        return false;
    }
    return openTask(info.GetTaskFile());
}

void CTaskManager::editTaskInfo()
{
    if (!m_task)
        return;
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
    CBackupDlg dialog(qs(info.GetTaskName()), qs(info.GetTaskFolder()), parent);
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
        openExternal(QUrl::fromLocalFile(qs(target)));
}
