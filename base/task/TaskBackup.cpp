#include "base/task/TaskBackup.h"

#include "base/records/TaskInfo.h"
#include "base/util/FileUtil.h"
#include "base/util/LocalTime.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

bool CTaskBackup::CopyDataFiles(const CTaskInfo& info, const std::string& folder)
{
    const std::string target = CFileUtil::WithSeparator(folder);
    const std::string rules = info.GetRulesFilePath();
    return CFileUtil::CopyFileReplacing(info.GetInputFilePath(), target + info.GetInputFile())
           && CFileUtil::CopyFileReplacing(info.GetOutputFilePath(), target + info.GetOutputFile())
           && (!CFileUtil::FileExists(rules) || CFileUtil::CopyFileReplacing(rules, target + FileName(rules)));
}

std::string CTaskBackup::FileName(const std::string& path)
{
    return CFileUtil::FromPath(CFileUtil::ToPath(path).filename());
}

bool CTaskBackup::CopyTask(const CTaskInfo& info, const std::string& folder, const std::string& taskFileName)
{
    const std::string target = CFileUtil::WithSeparator(folder);
    if (!CFileUtil::CopyFileReplacing(info.GetTaskFile(), target + taskFileName) || !CopyDataFiles(info, folder))
        return false;
    const std::string report = info.GetReportFilePath();
    return !CFileUtil::FileExists(report) || CFileUtil::CopyFileReplacing(report, target + FileName(report));
}

bool CTaskBackup::CopyOfTheDay(const CTaskInfo& info)
{
    std::error_code ec;
    const std::string folder = CFileUtil::WithSeparator(info.GetTaskFolder());
    const std::string root = folder + "Backup";
    const fs::path rootPath = CFileUtil::ToPath(root);
    if (!fs::exists(rootPath, ec)) {
        fs::create_directory(rootPath, ec);
        if (ec)
            return false;
    }

    const std::tm local = CLocalTime::Of(std::time(nullptr));
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const std::string day = CFileUtil::WithSeparator(root) + stamp + CFileUtil::Separator();
    fs::create_directory(CFileUtil::ToPath(day), ec);
    if (!CFileUtil::FolderExists(day))
        return false;
    if (!CopyDataFiles(info, day))
        return false;

    std::vector<std::string> days;
    for (fs::directory_iterator it(rootPath, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_directory(ec))
            continue;
        const std::string name = CFileUtil::FromPath(it->path().filename());
        if (name.size() != 8 || !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const std::string dayFolder = CFileUtil::WithSeparator(root) + name + CFileUtil::Separator();
        if (CFileUtil::FileExists(dayFolder + info.GetInputFile())
            && CFileUtil::FileExists(dayFolder + info.GetOutputFile()))
            days.push_back(name);
    }
    if (days.size() > KeptDays) {
        std::sort(days.begin(), days.end(), std::greater<>());
        // The copy just made is always kept, even when the clock was set
        // back and older-dated folders carry greater names.
        std::stable_partition(days.begin(), days.end(), [&stamp](const std::string& name) { return name == stamp; });
        for (std::size_t i = KeptDays; i < days.size(); ++i) {
            const fs::path old = rootPath / CFileUtil::ToPath(days[i]);
            std::error_code ignored;
            fs::remove(old / CFileUtil::ToPath(info.GetInputFile()), ignored);
            fs::remove(old / CFileUtil::ToPath(info.GetOutputFile()), ignored);
            fs::remove(old / CFileUtil::ToPath(FileName(info.GetRulesFilePath())), ignored);
            fs::remove(old, ignored);
        }
    }
    return true;
}
