#pragma once

#include <string>
#include <vector>

class CTaskInfo;

// Makes a new division task: its folder (one level), its task file and its
// empty data files. The new-task dialog and quillon-cli share it, and so
// does every way of saving a task into another folder: a task never shares
// its folder, and with it input.xml and output.xml, with another task.
class CTaskCreator
{
public:
    enum class Outcome
    {
        Created,
        BadName,     // empty, or a character no file name may hold
        BadFolder,   // the folder is not there and cannot be made
        HoldsTask,   // the folder holds (part of) another task: nothing was touched
        Locked,      // another program holds the folder's lock: nothing was touched
        CannotWrite, // the files could not be written: what was written is removed again
    };

    struct Result
    {
        Outcome outcome = Outcome::Created;
        std::string message; // what to tell the user; empty when created
    };

    // Whether name can be a task's name, and so the stem of its file name:
    // not blank, not "." or "..", no path separator, no \ / : * ? " < > |,
    // no control character.
    static bool IsValidName(const std::string& name);
    // The message for a name IsValidName refuses.
    static std::string NameProblem(const std::string& name);

    // The entries of folder that belong to a task: task files (*.qz),
    // input.xml, output.xml, report.txt and the Backup folder, compared
    // without regard to letter case; sorted. Empty when there are none or
    // the folder does not exist.
    static std::vector<std::string> TaskFilesIn(const std::string& folder);
    // HoldsTask with its message when folder holds any of those, else
    // Created with no message.
    static Result CheckFolder(const std::string& folder);

    // Makes the task info describes (name, folder, author, creation time,
    // description): checks the name and the folder, makes the folder when
    // it is missing, takes the folder's lock for program while it writes,
    // then writes the task file and the data files of an empty task.
    static Result Create(const CTaskInfo& info, const std::string& program);
};
