#include "base/task/TaskCreator.h"

#include "base/util/FileUtil.h"
#include "base/task/ScheduleTask.h"
#include "base/records/TaskInfo.h"
#include "base/task/TaskLock.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
// How many entries a refusal names before it says "等".
constexpr std::size_t kNamedEntries = 5;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsTaskEntry(const std::string& name)
{
    const std::string lower = Lower(name);
    if (lower == "input.xml" || lower == "output.xml" || lower == "report.txt" || lower == "backup")
        return true;
    return lower.size() > 3 && lower.compare(lower.size() - 3, 3, ".qz") == 0;
}

// Blanks: ASCII spaces and tabs, and the ideographic space.
bool IsBlank(const std::string& text)
{
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
        } else if (text.compare(i, 3, "\xE3\x80\x80") == 0) {
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamedEntries; ++i)
        text += (i > 0 ? "、" : "") + names[i];
    if (names.size() > kNamedEntries)
        text += " 等";
    return text;
}

CTaskCreator::Result Refused(CTaskCreator::Outcome outcome, std::string message)
{
    return {outcome, std::move(message)};
}

std::string LockMessage(const std::string& folder, const CTaskLock::Holder& holder)
{
    std::string who = holder.program.empty() ? std::string("另一程序") : holder.program;
    if (!holder.user.empty())
        who += "，用户 " + holder.user;
    if (!holder.host.empty())
        who += "，计算机 " + holder.host;
    return "保存位置 " + folder + " 正被另一程序使用（" + who + "）。请另选一个文件夹。";
}
} // namespace

bool CTaskCreator::IsValidName(const std::string& name)
{
    if (IsBlank(name) || name == "." || name == "..")
        return false;
    static const std::string forbidden = "\\/:*?\"<>|";
    for (const char c : name) {
        if (forbidden.find(c) != std::string::npos || (static_cast<unsigned char>(c) < 0x20))
            return false;
    }
    return true;
}

std::string CTaskCreator::NameProblem(const std::string& name)
{
    if (IsBlank(name))
        return "任务名称不能为空";
    return "任务名称不能包含下列字符：\\ / : * ? \" < > |";
}

std::vector<std::string> CTaskCreator::TaskFilesIn(const std::string& folder)
{
    std::vector<std::string> found;
    std::error_code error;
    for (fs::directory_iterator it(CFileUtil::ToPath(folder), error), end; !error && it != end; it.increment(error)) {
        const std::string name = CFileUtil::FromPath(it->path().filename());
        if (IsTaskEntry(name))
            found.push_back(name);
    }
    std::sort(found.begin(), found.end());
    return found;
}

CTaskCreator::Result CTaskCreator::CheckFolder(const std::string& folder)
{
    const std::vector<std::string> files = TaskFilesIn(folder);
    if (files.empty())
        return {};
    // Named as the user typed it, without a closing separator.
    const std::string shown = CFileUtil::FromPath(CFileUtil::ToPath(CFileUtil::WithSeparator(folder)).parent_path());
    return Refused(Outcome::HoldsTask, "保存位置 " + shown + " 已是一个分班任务的文件夹（其中有 " + Joined(files)
                                           + "）。请另选一个文件夹。");
}

CTaskCreator::Result CTaskCreator::Create(const CTaskInfo& info, const std::string& program)
{
    const std::string name = info.GetTaskName();
    if (!IsValidName(name))
        return Refused(Outcome::BadName, NameProblem(name));
    if (info.GetTaskFolder().empty())
        return Refused(Outcome::BadFolder, "没有保存位置。");
    const fs::path folderPath = CFileUtil::ToPath(CFileUtil::WithSeparator(info.GetTaskFolder())).parent_path();
    const std::string folder = CFileUtil::FromPath(folderPath);
    std::error_code error;
    bool madeFolder = false;
    if (!CFileUtil::FolderExists(folder)) {
        // One level, as the dialog does: a mistyped parent is not made.
        madeFolder = !fs::exists(folderPath, error) && fs::create_directory(folderPath, error);
        if (!madeFolder)
            return Refused(Outcome::BadFolder, "保存位置 " + folder + " 无效：该文件夹不存在，也无法创建。");
    }
    const auto undoFolder = [&] {
        if (madeFolder)
            fs::remove_all(folderPath, error);
    };

    Result refusal = CheckFolder(folder);
    if (refusal.outcome != Outcome::Created)
        return refusal; // nothing made: the folder was there already
    CTaskLock lock(folder);
    if (lock.Acquire(program) == CTaskLock::Result::HeldByOther) {
        undoFolder();
        return Refused(Outcome::Locked, LockMessage(folder, lock.GetHolder()));
    }
    // Another program may have made its task here before the lock was taken.
    refusal = CheckFolder(folder);
    if (refusal.outcome != Outcome::Created) {
        lock.Release();
        undoFolder();
        return refusal;
    }

    // The task file first, then the data files as opening the task writes them.
    CTaskInfo header = info;
    CScheduleTask task;
    const bool written = header.WriteToFile() && task.Open(header.GetTaskFile())
                         && task.WriteInputData() == CScheduleTask::SaveResult::Saved
                         && task.WriteOutputData() == CScheduleTask::SaveResult::Saved;
    if (written)
        return {};
    lock.Release();
    if (madeFolder) {
        undoFolder();
    } else {
        // The folder held none of these before.
        for (const std::string& path : {header.GetTaskFile(), header.GetInputFilePath(), header.GetOutputFilePath()}) {
            fs::remove(CFileUtil::ToPath(path), error);
            CFileUtil::RemoveLeftovers(path);
        }
        fs::remove_all(folderPath / "Backup", error);
    }
    return Refused(Outcome::CannotWrite,
                   "无法在 " + folder + " 中写入分班任务的文件，请检查文件夹的写入权限和磁盘空间。");
}
