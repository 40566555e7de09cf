#include "logic/session/TaskSession.h"

#include "logic/pinyin/PinyinConverter.h"

#include "base/task/TaskLock.h"
#include "base/util/FileUtil.h"
#include "base/util/LocalTime.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path)
{
    return CFileUtil::FromPath(CFileUtil::ToPath(path).parent_path());
}

// "20240305-080709", local time.
std::string TimeStamp()
{
    const std::tm local = CLocalTime::Of(std::time(nullptr));
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return stamp;
}

} // namespace

CTaskSession::CTaskSession(std::string program, WhenHeld whenHeld)
    : m_program(std::move(program)), m_whenHeld(whenHeld), m_task(std::make_unique<CScheduleTask>())
{
    m_task->SetSoundKey(&CPinyinConverter::SoundKey);
}

CTaskSession::~CTaskSession() = default;

bool CTaskSession::HoldsLock() const
{
    return m_lock && m_lock->IsHeld();
}

std::string CTaskSession::HolderText(const std::string& program, const std::string& user, const std::string& host,
                                     const std::string& time)
{
    std::string who = program.empty() ? std::string("另一程序") : program;
    if (!user.empty())
        who += "，用户 " + user;
    if (!host.empty())
        who += "，计算机 " + host;
    if (!time.empty())
        who += "，自 " + time + " 起";
    return who;
}

std::string CTaskSession::HeldText(const std::string& path) const
{
    const CTaskLock::Holder& holder = m_lock->GetHolder();
    if (m_whenHeld == WhenHeld::OfferReadOnly)
        return "分班任务 " + path + " 正被另一程序使用（"
               + HolderText(holder.program, holder.user, holder.host, holder.time)
               + "）。\n两个程序同时修改同一个分班任务，其中一个的修改会丢失。\n要以只读方式打开该分班任务吗？";
    std::string text = "该任务正被另一程序修改";
    // A lock that names its program names the rest as well.
    if (!holder.program.empty())
        text += "（" + holder.program + "，用户 " + holder.user + "，计算机 " + holder.host + "，自 " + holder.time
                + " 起）";
    return text + "，请等它结束后再试：" + path;
}

std::string CTaskSession::NotFoundText(const std::string& path) const
{
    return m_whenHeld == WhenHeld::OfferReadOnly ? "分班任务文件 " + path + " 不存在" : "找不到任务文件 " + path;
}

CTaskSession::Result CTaskSession::Lock(const std::string& path)
{
    if (!CFileUtil::FileExists(path)) {
        m_heldByOther = false;
        m_lock.reset();
        return {Outcome::NotFound, NotFoundText(path)};
    }
    return TakeLock(path);
}

CTaskSession::Result CTaskSession::LockNew(const std::string& path)
{
    return TakeLock(path);
}

CTaskSession::Result CTaskSession::TakeLock(const std::string& path)
{
    m_heldByOther = false;
    m_lock = std::make_unique<CTaskLock>(FolderOf(path));
    if (m_lock->Acquire(m_program) != CTaskLock::Result::HeldByOther)
        return {}; // a lock that cannot be made (read-only folder) stops nothing
    m_heldByOther = true;
    Result held{Outcome::HeldByOther, HeldText(path)};
    m_lock.reset();
    return held;
}

CTaskSession::Result CTaskSession::Open(const std::string& path)
{
    if (!CFileUtil::FileExists(path) || !m_task->Open(path))
        return {Outcome::NotFound, NotFoundText(path)};
    const CTaskInfo& info = m_task->GetTaskInfo();
    if (m_whenHeld == WhenHeld::Refuse) {
        // A data file that was not read completely is never overwritten.
        const std::string input = info.GetInputFilePath();
        const bool unreadable =
            m_task->GetInputState() == CScheduleTask::InputState::Missing && CFileUtil::FileExists(input);
        if (m_task->IsInputDamaged() || unreadable)
            return {Outcome::InputDamaged, "任务数据文件已损坏，无法完整读取：" + input};
    }
    const bool folderWritable = CanWriteIn(info.GetTaskFolder());
    m_readOnly = m_heldByOther || !folderWritable;
    m_task->SetReadOnly(m_readOnly);
    if (m_heldByOther)
        return {Outcome::ReadOnly, {}}; // the question said it all
    if (!folderWritable)
        return {
            Outcome::ReadOnly,
            "分班任务文件夹 " + info.GetTaskFolder()
                + " 不能写入（只读的共享文件夹或U盘，或者没有写入权限）。\n"
                  "分班任务以只读方式打开：可以查看数据和自动分班，但结果不能保存到这个文件夹，可以另存到其他文件夹。"};
    return {};
}

CTaskSession::CopyResult CTaskSession::KeepDamagedInput()
{
    const CTaskInfo& info = m_task->GetTaskInfo();
    const std::string inputPath = info.GetInputFilePath();
    const bool damaged = m_task->IsInputDamaged();
    std::error_code error;
    const auto size = std::filesystem::file_size(CFileUtil::ToPath(inputPath), error);
    const bool unreadable = m_task->GetInputState() == CScheduleTask::InputState::Missing
                            && CFileUtil::FileExists(inputPath) && !error && size > 0;
    if (!damaged && !unreadable)
        return {};

    const std::string folder = CFileUtil::WithSeparator(info.GetTaskFolder());
    const std::string stamp = TimeStamp();
    std::string copyPath = folder + "input.damaged-" + stamp + ".xml";
    for (int n = 2; CFileUtil::FileExists(copyPath) || CFileUtil::FolderExists(copyPath); ++n)
        copyPath = folder + "input.damaged-" + stamp + "-" + std::to_string(n) + ".xml";

    const auto bytes = CFileUtil::ReadFile(inputPath);
    const bool copied = bytes && CFileUtil::WriteFileAtomically(copyPath, *bytes);
    const std::string what = damaged ? "分班数据文件 " + inputPath + " 已损坏，只读入了出错位置之前的数据。"
                                     : "分班数据文件 " + inputPath + " 无法读取，没有读入任何数据。";
    if (!copied)
        return {InputCopy::NotCopied, what + "\n无法另存原文件的副本，为防止数据丢失，该文件暂不改写。"};
    return {InputCopy::Copied, what + "\n原文件已另存为：\n" + copyPath};
}

std::string CTaskSession::SaveFailureText(const CScheduleTask& task, CScheduleTask::SaveResult result,
                                          const std::string& file)
{
    switch (result) {
    case CScheduleTask::SaveResult::Saved: return {};
    case CScheduleTask::SaveResult::ReadOnly: return "分班任务以只读方式打开，不能保存到它的文件夹。";
    case CScheduleTask::SaveResult::NoFolder: return "分班任务没有保存位置。";
    case CScheduleTask::SaveResult::FolderMissing: return "文件夹 " + task.GetTaskInfo().GetTaskFolder() + " 不存在。";
    case CScheduleTask::SaveResult::NotWritten:
    case CScheduleTask::SaveResult::PartlyWritten: break;
    }
    return "无法写入文件 " + file + "，请检查文件夹的写入权限和磁盘空间。";
}

std::string CTaskSession::RulesDamagedText(const CScheduleTask& task, const std::string& what)
{
    return "分班规则文件 " + task.GetTaskInfo().GetRulesFilePath() + " 无法读取，" + what
           + "不能保存：保存会覆盖其中的规则。该文件保持原样，请先修复或移走它。";
}

bool CTaskSession::CanWriteIn(const std::string& folder)
{
    if (folder.empty())
        return false;
    // A probe file of a name no one else uses, made exclusively and removed.
    const std::string stem = CFileUtil::WithSeparator(folder) + ".quillon-probe-" + std::to_string(::getpid()) + "-";
    for (int n = 0; n < 100; ++n) {
        const std::filesystem::path probe = CFileUtil::ToPath(stem + std::to_string(n));
        std::FILE* file = std::fopen(probe.c_str(), "wx");
        if (!file) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        std::fclose(file);
        std::error_code ignored;
        std::filesystem::remove(probe, ignored);
        return true;
    }
    return false;
}
