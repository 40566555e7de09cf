#pragma once

#include <ctime>
#include <string>
#include <vector>

// The report of the last division run.
class CReportInfo
{
public:
    CReportInfo();
    virtual ~CReportInfo();

    // time := now; counts := 0; messages emptied; the report text is kept.
    void Clear();
    void SetCurrentTime();
    void SetTime(std::time_t time) { m_time = time; }
    std::time_t GetTimeValue() const { return m_time; }
    // Local time as "%d年%d月%d日 %d时%d分%d秒".
    std::string GetTime() const;

    void SetClassCount(int n) { m_classCount = n; }
    int GetClassCount() const { return m_classCount; }
    void SetSubjectCount(int n) { m_subjectCount = n; }
    int GetSubjectCount() const { return m_subjectCount; }
    void SetStudentCount(int n) { m_studentCount = n; }
    int GetStudentCount() const { return m_studentCount; }

    std::vector<std::string>& GetErrorInfo() { return m_errors; }
    const std::vector<std::string>& GetErrorInfo() const { return m_errors; }

    // Composes the report text: mode 0 the division ran, 1 the checks
    // refused the run, other modes only the time and counts.
    void MakeReport(int mode);
    std::string GetReportInfo() const { return m_text; }
    void SetReportInfo(const std::string& text) { m_text = text; }

    // A report text with a section of our own (whose first line is title)
    // as its last section, after one empty line, in place of an earlier
    // section of that title and whatever followed it.
    static std::string WithSection(const std::string& report, const std::string& title, const std::string& section);

private:
    std::time_t m_time = 0;
    int m_classCount = 0;
    int m_subjectCount = 0;
    int m_studentCount = 0;
    std::vector<std::string> m_errors;
    std::string m_text;
};
