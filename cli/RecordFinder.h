#pragma once

#include "cli/ExitCode.h"

#include <functional>
#include <string>

class CConsole;
class CQZObject;
class CQZObjectList;
class CScheduleTask;

// Finds the students and classes a command names, and says why when it
// cannot.
class CRecordFinder
{
public:
    CRecordFinder(const CScheduleTask& task, CConsole& console);

    // The id of the class named className in the division table's order;
    // empty for an empty name (every class). Done, or NotFound after saying so.
    ExitCode ClassByName(const std::string& className, std::string& classId);
    // The student whose id, or else whose name, is text; several of that
    // name are listed with class, sex and original school. Done, or the exit
    // code after saying why.
    ExitCode Student(const std::string& text, std::string& id);
    // The class whose id, or else whose name, is text (as Student), several
    // of that name listed with their planned numbers.
    ExitCode Class(const std::string& text, std::string& id);
    // A student and then a class, as the two operands of a command that
    // places a student: Done, or the first one's failure.
    ExitCode StudentAndClass(const std::string& studentText, const std::string& classText, std::string& studentId,
                             std::string& classId);

    // The name of a student's class, "未分班" when it has none.
    static std::string ClassNameOrNone(const CScheduleTask& task, const std::string& classId);

private:
    ExitCode Record(const CQZObjectList& list, const std::string& text, const std::string& kind, ExitCode notFound,
                    const std::function<std::string(const CQZObject&)>& describe, std::string& id);

    const CScheduleTask& m_task;
    CConsole& m_console;
};
