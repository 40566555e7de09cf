#pragma once

#include "base/task/ScheduleTask.h"

#include <memory>
#include <string>

class CTaskLock;

// One open task as a front end holds it: the task, its lock and whether it
// may be changed. It takes the lock, reads the task and looks after a data
// file that was not read completely; it says how each step ended, with the
// text to tell the user, and shows nothing itself.
//
// The window and the command line differ in one decision: when another
// program holds the task, the window offers to open it read-only, while the
// command line refuses to change it. That choice also decides what the
// texts say and what becomes of a damaged data file.
class CTaskSession
{
public:
    enum class WhenHeld
    {
        OfferReadOnly, // the task is read, read-only; a damaged data file is copied aside
        Refuse,        // nothing is read; a damaged data file stops the opening
    };

    enum class Outcome
    {
        Opened,       // locked and read: the task may be changed
        ReadOnly,     // read, but its folder cannot be written: nothing is saved into it
        HeldByOther,  // another program holds the task
        NotFound,     // there is no task file
        InputDamaged, // its data file was not read completely (Refuse only)
    };

    struct Result
    {
        Outcome outcome = Outcome::Opened;
        std::string message; // what to tell the user; empty when there is nothing to say
    };

    // How a data file that was not read completely was kept (OfferReadOnly).
    enum class InputCopy
    {
        NotNeeded, // read completely, or there is nothing to keep
        Copied,    // a copy lies beside it; the file may be rewritten
        NotCopied, // no copy could be made: the file must not be rewritten
    };

    struct CopyResult
    {
        InputCopy copy = InputCopy::NotNeeded;
        std::string message;
    };

    // program names the holder in the lock ("Quillon", "quillon-cli divide").
    CTaskSession(std::string program, WhenHeld whenHeld);
    ~CTaskSession();
    CTaskSession(const CTaskSession&) = delete;
    CTaskSession& operator=(const CTaskSession&) = delete;

    // Takes the lock of the task at path, before the task is read. Opened
    // when it is this session's, or when no lock can be made there (a
    // folder that cannot be written stops nothing: its saves fail); NotFound
    // when there is no task file; HeldByOther with the question to ask
    // (OfferReadOnly) or the refusal (Refuse).
    Result Lock(const std::string& path);
    // Lock for a task about to be written at path: the same, without
    // looking for its file.
    Result LockNew(const std::string& path);
    // Reads the task at path. The task exists from the start, so that a
    // message handler can be set on it before. Opened, or ReadOnly (with
    // the text to tell) when the lock is another's or the folder cannot be
    // written; NotFound with its text; InputDamaged with its text when the
    // session refuses damaged data.
    Result Open(const std::string& path);
    // Keeps a copy of a data file that the opening could not read
    // completely, before anything rewrites it (OfferReadOnly).
    CopyResult KeepDamagedInput();

    CScheduleTask& Task() { return *m_task; }
    const CScheduleTask& Task() const { return *m_task; }
    bool IsReadOnly() const { return m_readOnly; }
    bool HoldsLock() const;
    // Whether the last Lock found the task held by another program.
    bool IsHeldByOther() const { return m_heldByOther; }

    // Who holds a task, as the window names them: "quillon-cli divide，用户
    // li，计算机 pc，自 2024-03-05 08:07:09 起", leaving out what is unknown.
    static std::string HolderText(const std::string& program, const std::string& user, const std::string& host,
                                  const std::string& time);
    // Why a save wrote nothing, for a message that names file.
    static std::string SaveFailureText(const CScheduleTask& task, CScheduleTask::SaveResult result,
                                       const std::string& file);
    // Why a change of the division rules (what: "同班学生组") is refused
    // while the task's rules file cannot be read: saving would replace the
    // rules in it by the few this run knows.
    static std::string RulesDamagedText(const CScheduleTask& task, const std::string& what);
    // Whether a file can be made in folder; permission bits alone do not
    // tell on every system.
    static bool CanWriteIn(const std::string& folder);

private:
    Result TakeLock(const std::string& path);
    std::string NotFoundText(const std::string& path) const;
    std::string HeldText(const std::string& path) const;

    std::string m_program;
    WhenHeld m_whenHeld;
    std::unique_ptr<CScheduleTask> m_task;
    std::unique_ptr<CTaskLock> m_lock;
    bool m_heldByOther = false;
    bool m_readOnly = false;
};
