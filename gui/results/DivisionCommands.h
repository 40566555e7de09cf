#pragma once

#include <QString>

#include <functional>

class CScheduleTask;
class QWidget;

// The commands of step pages "4 自动分班" and "5 查看分班表".
class CDivisionCommands
{
public:
    // Saves the open task to a folder the user picks and opens the copy;
    // returns the task open afterwards, or null when nothing was saved.
    using SaveElsewhere = std::function<CScheduleTask*()>;

    // Confirmation, the auto-division dialog, then the report dialog. When
    // the result could not be saved the user is told so and offered
    // saveElsewhere (when given), before the report.
    // True when the user asked for the division table from the report (the
    // caller then selects tab 4 and calls showDivisionTable on the task
    // open then, which is the copy after a save elsewhere).
    static bool startDivision(QWidget* parent, CScheduleTask& task, const SaveElsewhere& saveElsewhere = {});
    // The report dialog with the stored report (outcome code 3).
    static bool showReport(QWidget* parent, CScheduleTask& task);
    // schoolName: the title of the lists posted for parents.
    static void showDivisionTable(QWidget* parent, CScheduleTask& task, const QString& schoolName = QString());
    static void showStatistics(QWidget* parent, CScheduleTask& task);

    // What a report shows for the task as it is: its report, a word when
    // there is none, and a warning when its result is in memory only.
    static QString reportText(const CScheduleTask& task);
    // Why a result could not be saved into the task's folder.
    static QString unsavedReason(const CScheduleTask& task);
    // Tells the user that result ("分班结果", ...) could not be saved and
    // why, and offers saveElsewhere when given. Returns the copy saved
    // elsewhere (the task open from then on), or null.
    static CScheduleTask* reportUnsaved(QWidget* parent, const CScheduleTask& task, const QString& result,
                                        const SaveElsewhere& saveElsewhere);
};
