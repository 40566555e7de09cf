#include "base/records/DivisionRules.h"

#include <algorithm>
#include <set>

const std::vector<int>& CDivisionRules::DefaultScoreBands()
{
    static const std::vector<int> kBands{10, 30, 60};
    return kBands;
}

void CDivisionRules::SetConditionNames(const std::vector<std::string>& names)
{
    if (names == m_conditionNames)
        return;
    std::vector<int> from(names.size(), -1);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto old = std::find(m_conditionNames.begin(), m_conditionNames.end(), names[i]);
        if (old != m_conditionNames.end())
            from[i] = static_cast<int>(old - m_conditionNames.begin());
    }
    for (auto it = m_conditions.begin(); it != m_conditions.end();) {
        std::vector<std::string> values(names.size());
        bool any = false;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (from[i] >= 0 && static_cast<std::size_t>(from[i]) < it->second.size()) {
                values[i] = std::move(it->second[static_cast<std::size_t>(from[i])]);
                any = any || !values[i].empty();
            }
        }
        if (any) {
            it->second = std::move(values);
            ++it;
        } else {
            it = m_conditions.erase(it);
        }
    }
    m_conditionNames = names;
}

std::vector<std::string> CDivisionRules::GetConditions(const std::string& studentId) const
{
    std::vector<std::string> values(m_conditionNames.size());
    const auto found = m_conditions.find(studentId);
    if (found != m_conditions.end()) {
        for (std::size_t i = 0; i < values.size() && i < found->second.size(); ++i)
            values[i] = found->second[i];
    }
    return values;
}

void CDivisionRules::SetConditions(const std::string& studentId, std::vector<std::string> values)
{
    values.resize(m_conditionNames.size());
    if (std::all_of(values.begin(), values.end(), [](const std::string& value) { return value.empty(); }))
        m_conditions.erase(studentId);
    else
        m_conditions[studentId] = std::move(values);
}

std::vector<std::string> CDivisionRules::ConditionCategories(std::size_t column) const
{
    std::set<std::string> categories;
    for (const auto& [id, values] : m_conditions) {
        if (column < values.size() && !values[column].empty())
            categories.insert(values[column]);
    }
    return {categories.begin(), categories.end()};
}

bool CDivisionRules::IsEmpty() const
{
    return m_together.empty() && !m_sameNameApart && !m_sameSoundApart && m_scoreBands.empty()
           && m_conditionNames.empty();
}

bool CDivisionRules::DropStale(const std::function<bool(const std::string& studentId)>& isStudent)
{
    bool changed = false;
    for (TogetherGroup& group : m_together)
        changed = std::erase_if(group.studentIds, [&](const std::string& id) { return !isStudent(id); }) > 0 || changed;
    changed = std::erase_if(m_together, [](const TogetherGroup& group) { return group.studentIds.size() < 2; }) > 0
              || changed;
    changed = std::erase_if(m_conditions, [&](const auto& entry) { return !isStudent(entry.first); }) > 0 || changed;
    return changed;
}

std::optional<std::vector<int>> CDivisionRules::ParseScoreBands(const std::string& text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, "\xEF\xBC\x8C") == 0) { // "，"
            plain += ',';
            i += 2;
        } else if (text[i] != ' ' && text[i] != '\t') {
            plain += text[i];
        }
    }
    std::vector<int> limits;
    std::size_t start = 0;
    while (start <= plain.size()) {
        const std::size_t comma = std::min(plain.find(',', start), plain.size());
        const std::string item = plain.substr(start, comma - start);
        if (item.empty() || item.size() > 2
            || !std::all_of(item.begin(), item.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        const int limit = std::stoi(item);
        if (limit < 1 || limit > 99 || (!limits.empty() && limit <= limits.back()))
            return std::nullopt;
        limits.push_back(limit);
        start = comma + 1;
    }
    return limits;
}

std::string CDivisionRules::ScoreBandsText(const std::vector<int>& limits)
{
    std::string text;
    for (const int limit : limits) {
        if (!text.empty())
            text += ',';
        text += std::to_string(limit);
    }
    return text;
}
