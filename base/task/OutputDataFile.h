#pragma once

#include "base/task/ScheduleTask.h"

#include <string>

// output.xml: the timetable grid of every class, one "Item" per lesson slot
// of the school's week.
class COutputDataFile
{
public:
    // The bytes of the file for the task's classes.
    static std::string Write(const CScheduleTask& task);
    enum class Result
    {
        Missing, // no file, or not well-formed
        Loaded,
        Damaged, // an item lacked an attribute; what came before is kept
    };
    // Marks the slots the file names in the grids of the courses, classes,
    // teachers and rooms concerned. Items of unknown courses are ignored.
    static Result Read(const std::string& path, CScheduleTask& task);
};
