#include "cli/PdfResultWriter.h"

#include "gui/render/DivisionPrinter.h"
#include "cli/OffscreenQt.h"
#include "gui/render/LotteryCertificate.h"
#include "gui/render/PublicationPrinter.h"
#include "gui/render/TablePrinter.h"

#include <QGuiApplication>

namespace {

bool WritePdf(const std::string& pdfPath, const std::vector<CDivisionPrinter::Section>& sections)
{
    CTablePrinter printer;
    if (printer.StartPdf(QString::fromStdString(pdfPath)) != 0)
        return false;
    return CDivisionPrinter::print(printer, sections);
}

} // namespace

bool CPdfResultWriter::WriteRosters(CScheduleTask& task, const std::string& classId, const std::string& pdfPath)
{
    const auto application = StartOffscreenQt<QGuiApplication>();
    return WritePdf(pdfPath, CDivisionPrinter::classRosters(task, classId));
}

bool CPdfResultWriter::WriteStatistics(CScheduleTask& task, const std::string& pdfPath)
{
    const auto application = StartOffscreenQt<QGuiApplication>();
    return WritePdf(pdfPath, {CDivisionPrinter::statistics(task)});
}

bool CPdfResultWriter::WriteLotteryCertificate(const CLotteryRecord& record, const std::string& school,
                                               const std::string& pdfPath)
{
    const auto application = StartOffscreenQt<QGuiApplication>();
    return CLotteryCertificate::writePdf(record, QString::fromStdString(school), QString::fromStdString(pdfPath));
}

bool CPdfResultWriter::WritePublication(const CPublicationList& list, const std::string& footer,
                                        const std::string& pdfPath)
{
    const auto application = StartOffscreenQt<QGuiApplication>();
    CTablePrinter printer;
    if (printer.StartPdf(QString::fromStdString(pdfPath)) != 0)
        return false;
    return CPublicationPrinter::print(printer, list, QString::fromStdString(footer));
}
