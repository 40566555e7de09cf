#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class CTablePrinter;
class QWidget;

// Prints a list as the list editors show it: its title, two blank lines,
// then a centred, ruled table of the visible columns with a bold header row
// and one row per list row, in list order.
class CListPrinter
{
public:
    // titles and widths: the visible columns, widths in screen pixels as the
    // list shows them. rows: the visible cell texts of each row.
    struct List
    {
        QString title;
        QStringList columnTitles;
        std::vector<int> columnWidths;
        std::vector<QStringList> rows;
    };

    // The print dialog, then the list; nothing at all when it is cancelled.
    // False when the job was started but could not be finished.
    static bool printWithDialog(QWidget* parent, const List& list);
    // On a printer that StartPrint or StartPdf has readied.
    static bool print(CTablePrinter& printer, const List& list);
};
