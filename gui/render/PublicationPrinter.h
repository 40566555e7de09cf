#pragma once

#include <QString>

class CPublicationList;
class CTablePrinter;

// Prints the lists posted for parents: each class from a new page, under
// the list's title and a line with the class, its head teacher and its
// number of students, then the ruled list; the footer of every page holds
// the date of the notice and, when given, the digest of the result. A
// class that runs onto a further page repeats its line and the column
// titles there.
class CPublicationPrinter
{
public:
    // On a printer that StartPrint or StartPdf has readied. False when the
    // job could not be started or finished.
    static bool print(CTablePrinter& printer, const CPublicationList& list, const QString& footer);

    // Writes the lists to path: a PDF for a name ending in ".pdf", a
    // workbook for one ending in ".xlsx" (either case). False with error
    // (Chinese) when the name has another ending or the file could not be
    // written; a file there before is then left as it was.
    static bool save(const CPublicationList& list, const QString& path, const QString& footer, QString& error);
};
