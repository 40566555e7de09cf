#pragma once

#include <string>

class CLotteryRecord;
class CPublicationList;
class CScheduleTask;

// Writes the printed results of a divided task to a PDF file, without a
// display. The only part of quillon-cli that starts Qt.
class CPdfResultWriter
{
public:
    // Every class's roster, or only the class with classId. False when the
    // file could not be written.
    static bool WriteRosters(CScheduleTask& task, const std::string& classId, const std::string& pdfPath);
    // The division statistics.
    static bool WriteStatistics(CScheduleTask& task, const std::string& pdfPath);
    // The certificate of a lottery division; school may be empty.
    static bool WriteLotteryCertificate(const CLotteryRecord& record, const std::string& school,
                                        const std::string& pdfPath);
    // The lists posted for parents, a class a page, footer under each.
    static bool WritePublication(const CPublicationList& list, const std::string& footer, const std::string& pdfPath);
};
