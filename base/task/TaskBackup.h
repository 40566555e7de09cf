#pragma once

#include <cstddef>
#include <string>

class CTaskInfo;

// Copies of a task's files, named as the task names them: the day's copy
// of the data files that every save makes, and a copy of the whole task
// into a folder of the user's choice.
class CTaskBackup
{
public:
    // How many days of copies the task's "Backup" folder keeps.
    static constexpr std::size_t KeptDays = 5;

    // Copies the data files into Backup/YYYYMMDD in the task's folder and
    // removes the copies of all but the latest KeptDays days (today's is
    // always kept). False when the copy could not be made.
    static bool CopyOfTheDay(const CTaskInfo& info);

    // Copies the task into folder, which must exist: its task file under
    // taskFileName, its data files, and its report when it has one. False
    // when any of them could not be copied.
    static bool CopyTask(const CTaskInfo& info, const std::string& folder, const std::string& taskFileName);

private:
    // Copies input.xml and output.xml (by the task's names) into folder, and
    // the rules file beside them when the task has one.
    static bool CopyDataFiles(const CTaskInfo& info, const std::string& folder);
    static std::string FileName(const std::string& path);
};
