#include "base/records/StudentInfo.h"

#include <cctype>
#include <charconv>

CStudentInfo::~CStudentInfo() = default;

void CStudentInfo::Copy(CStudentInfo* source)
{
    if (!source || source == this)
        return;
    CQZObject::Copy(source);
    m_sex = source->m_sex;
    m_fromSchool = source->m_fromSchool;
    m_scores = source->m_scores;
}

double CStudentInfo::ScoreValue(const std::string& text)
{
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // Only plain decimal notation: no "inf", "nan" or hexadecimal forms.
    const bool digitFirst = p < end && std::isdigit(static_cast<unsigned char>(*p));
    const bool pointFirst = p + 1 < end && *p == '.' && std::isdigit(static_cast<unsigned char>(p[1]));
    if (!digitFirst && !pointFirst)
        return 0.0;
    double value = 0.0;
    const auto result = std::from_chars(p, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        return 0.0;
    return negative ? -value : value;
}

void CStudentInfo::CalculateScoreCount()
{
    m_scoreCount = 0.0f;
    for (const std::string& score : m_scores)
        m_scoreCount = static_cast<float>(static_cast<double>(m_scoreCount) + ScoreValue(score));
}
