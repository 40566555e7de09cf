#pragma once

#include <string>

class CScheduleTask;
class QWidget;

// The editors that step pages "2 基本数据维护" and "3 分班条件设置" open,
// each run modally on the open task.
class CEditorCommands
{
public:
    // settingsFile: the program's settings, where the batch add of classes
    // remembers its last batch.
    static void editClasses(QWidget* parent, CScheduleTask& task, const std::string& settingsFile);
    static void editStudents(QWidget* parent, CScheduleTask& task);
    static void editPresets(QWidget* parent, CScheduleTask& task);
    static void editMutexGroups(QWidget* parent, CScheduleTask& task);
    static void editTogetherGroups(QWidget* parent, CScheduleTask& task);
    // "分班规则": same names and sounds apart, score bands.
    static void editDivisionRules(QWidget* parent, CScheduleTask& task);
};
