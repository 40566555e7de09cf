#include "base/records/ReportInfo.h"

#include "base/util/LocalTime.h"

#include <cstdio>

CReportInfo::CReportInfo()
{
    Clear();
}

CReportInfo::~CReportInfo() = default;

void CReportInfo::Clear()
{
    SetCurrentTime();
    m_classCount = 0;
    m_subjectCount = 0;
    m_studentCount = 0;
    m_errors.clear();
}

void CReportInfo::SetCurrentTime()
{
    m_time = std::time(nullptr);
}

std::string CReportInfo::GetTime() const
{
    const std::tm local = CLocalTime::Of(m_time);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%d年%d月%d日 %d时%d分%d秒", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buffer;
}

void CReportInfo::MakeReport(int mode)
{
    std::string text = "【分班时间】\n" + GetTime() + "\n\n【基础数据】\n班级数：" + std::to_string(m_classCount)
                       + "\t学生数：" + std::to_string(m_studentCount) + "\n\n";
    if (mode == 0) {
        if (m_errors.empty()) {
            text += "【分班结果】\n分班完成。您可以查看并导出分班表。";
        } else {
            text += "【分班结果】\n本次自动分班结束。\n"
                    "如果您对自动分班结果不满意，可以重新“开始自动分班”，每次自动分班的结果可能不同。\n";
            for (const std::string& message : m_errors)
                text += message + "\n";
        }
    } else if (mode == 1) {
        text += "【分班结果】\n本次自动分班未开始！\n\n请按以下提示调整您的基本数据或分班条件设置：\n";
        for (const std::string& message : m_errors)
            text += message + "\n";
    }
    m_text = std::move(text);
}

std::string CReportInfo::WithSection(const std::string& report, const std::string& title, const std::string& section)
{
    const std::string heading = title + "\n";
    std::string base = report;
    if (base.compare(0, heading.size(), heading) == 0) {
        base.clear();
    } else {
        const std::size_t earlier = base.rfind("\n" + heading);
        if (earlier != std::string::npos)
            base.erase(earlier + 1);
    }
    while (!base.empty() && base.back() == '\n')
        base.pop_back();
    return base.empty() ? section : base + "\n\n" + section;
}
