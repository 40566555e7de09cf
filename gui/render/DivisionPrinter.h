#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class CScheduleTask;
class CTablePrinter;

// Prints the results of a division: a roster per class, as the division
// table shows it, and the division statistics.
//
// The document is made of sections. Each starts on a new page with its
// title, numbers its own pages in the footer ("第 n 页 / 共 m 页") and
// repeats its column titles at the top of every page it continues on.
class CDivisionPrinter
{
public:
    struct Section
    {
        QString title;
        QString summary; // a line under the title; may be empty
        QStringList columns;
        std::vector<QStringList> rows;
    };

    // One roster per class in record index order, or only the class with
    // classId: its students in index order, numbered from 1. Like the
    // division table, clears class ids that name no class.
    static std::vector<Section> classRosters(CScheduleTask& task, const std::string& classId = std::string());
    // The statistics table, per class and for the whole school.
    static Section statistics(const CScheduleTask& task);

    // Prints on a printer that StartPrint or StartPdf has readied, in
    // portrait when the table fits across the page, otherwise in landscape.
    // False when the job could not be started or finished.
    static bool print(CTablePrinter& printer, const std::vector<Section>& sections);
};
