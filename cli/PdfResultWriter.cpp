#include "PdfResultWriter.h"

#include "DivisionPrinter.h"
#include "TablePrinter.h"

#include <QGuiApplication>

#include <memory>

namespace {

bool WritePdf(const std::string& pdfPath, const std::vector<CDivisionPrinter::Section>& sections)
{
    CTablePrinter printer;
    if (printer.StartPdf(QString::fromStdString(pdfPath)) != 0)
        return false;
    return CDivisionPrinter::print(printer, sections);
}

// Fonts and the PDF engine need an application object; the offscreen
// platform needs no display.
std::unique_ptr<QGuiApplication> StartQt()
{
    static int argc = 3;
    static char name[] = "quillon-cli";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    if (QGuiApplication::instance())
        return nullptr;
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

bool CPdfResultWriter::WriteRosters(CScheduleTask& task, const std::string& classId, const std::string& pdfPath)
{
    const auto application = StartQt();
    return WritePdf(pdfPath, CDivisionPrinter::classRosters(task, classId));
}

bool CPdfResultWriter::WriteStatistics(CScheduleTask& task, const std::string& pdfPath)
{
    const auto application = StartQt();
    return WritePdf(pdfPath, {CDivisionPrinter::statistics(task)});
}
