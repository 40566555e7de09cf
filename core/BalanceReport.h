#pragma once

#include <string>
#include <vector>

class CBalanceModel;
struct CBalanceResult;

// What a balancing tells the user: the before/after table of the spreads
// and the section it adds to the task's report.
//
// The section goes after the division report's own sections, as plain text
// in the same file (an older reader shows it as part of the report); a
// later balancing replaces the section of the one before.
class CBalanceReport
{
public:
    struct Row
    {
        std::string label;
        std::string before;
        std::string after;
    };

    // "项目", "优化前", "优化后", then the total average, each subject's
    // average, girls, boys, the largest original school and the most uneven
    // school.
    static std::vector<Row> Table(const CBalanceModel& model, const CBalanceResult& result);
    // The section's text, ending with a line feed; time as the report
    // writes it.
    static std::string Section(const CBalanceModel& model, const CBalanceResult& result, const std::string& time);
    // The report with section as its last section, in place of the section
    // of an earlier balancing.
    static std::string AddSection(const std::string& report, const std::string& section);
    // A spread of averages as the table shows it: two decimals.
    static std::string Points(double value);
    // The title line that starts the section.
    static const char* const kTitle;
};
