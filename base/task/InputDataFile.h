#pragma once

#include "base/task/ScheduleTask.h"
#include "base/util/FileUtil.h"

#include <string>

// input.xml: the subject names and every record list a task keeps, written
// and read by one table of attributes per record kind.
class CInputDataFile
{
public:
    // The bytes of the file for the task's lists.
    static std::string Write(const CScheduleTask& task);
    // The same bytes, handed to sink a piece at a time; false when the sink
    // refused a piece.
    static bool WriteTo(const CScheduleTask& task, const CFileUtil::Sink& sink);
    // Adds what the file at path holds to the task's lists. A record that
    // lacks a required attribute stops the reading (Damaged); what came
    // before it stays.
    static CScheduleTask::InputState Read(const std::string& path, CScheduleTask& task);
    // The same for the bytes of such a file.
    static CScheduleTask::InputState ReadBytes(std::string bytes, CScheduleTask& task);
};
