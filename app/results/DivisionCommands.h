#pragma once

class CScheduleTask;
class QWidget;

// The commands of step pages "4 自动分班" and "5 查看分班表".
class CDivisionCommands
{
public:
    // Confirmation, the auto-division dialog, then the report dialog.
    // True when the user asked for the division table from the report
    // (the caller then selects tab 4 and calls showDivisionTable).
    static bool startDivision(QWidget* parent, CScheduleTask& task);
    // The report dialog with the stored report (outcome code 3).
    static bool showReport(QWidget* parent, CScheduleTask& task);
    static void showDivisionTable(QWidget* parent, CScheduleTask& task);
    static void showStatistics(QWidget* parent, CScheduleTask& task);
};
