#pragma once

#include <QString>

class CLotteryRecord;
class QPagedPaintDevice;
class QWidget;

// "分班公证记录": the record of a lottery division as a document to print
// and sign: school and task, when, with which program, the seed and the
// work, the rules in force, the numbers of students and classes, the two
// SHA-256 digests, every class's figures after the draw, the head-teacher
// draw when there was one, and lines for the signatures of the host, the
// notary and the supervisor. Pages are numbered ("第 1 页，共 2 页"), and
// the signatures are never split from their heading.
class CLotteryCertificate
{
public:
    // The document as HTML; school may be empty.
    static QString html(const CLotteryRecord& record, const QString& school, bool signaturesOnNewPage = false);
    // Writes the document to a PDF file, safely (the old file stays until
    // the new one is complete). False when it could not be written.
    static bool writePdf(const CLotteryRecord& record, const QString& school, const QString& path);
    // The print dialog, then the document; false when it was cancelled.
    static bool printWithDialog(QWidget* parent, const CLotteryRecord& record, const QString& school);
    // On any paged device (a printer, a PDF writer).
    static void print(const CLotteryRecord& record, const QString& school, QPagedPaintDevice& device);
};
