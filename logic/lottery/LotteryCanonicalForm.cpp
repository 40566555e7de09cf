#include "logic/lottery/LotteryCanonicalForm.h"

#include "base/records/ClassInfo.h"
#include "base/records/MutexStudent.h"
#include "base/records/StudentInfo.h"
#include "base/records/StudentPreset.h"
#include "base/task/ScheduleTask.h"

#include <algorithm>
#include <charconv>
#include <memory>

namespace {

constexpr const char* kInputHeader = "quillon-lottery-input 1";
constexpr const char* kResultHeader = "quillon-lottery-result 1";

std::string Escape(const std::string& field)
{
    std::string out;
    out.reserve(field.size());
    for (char c : field) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size())
            return std::nullopt;
        switch (field[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

void Line(std::string& text, std::initializer_list<std::string> fields, const std::vector<std::string>& more = {})
{
    bool first = true;
    for (const std::string& field : fields) {
        if (!first)
            text += '\t';
        text += Escape(field);
        first = false;
    }
    for (const std::string& field : more) {
        text += '\t';
        text += Escape(field);
    }
    text += '\n';
}

std::string BandsText(const std::vector<int>& bands)
{
    std::string text;
    for (int limit : bands)
        text += (text.empty() ? "" : ",") + std::to_string(limit);
    return text;
}

template <class T>
bool ParseNumber(const std::string& text, T& value)
{
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(text.data(), last, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == last;
}

std::optional<std::vector<std::string>> Fields(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        auto field = Unescape(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (!field)
            return std::nullopt;
        fields.push_back(std::move(*field));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

template <class T, class Key>
void SortBy(std::vector<T>& list, Key key)
{
    std::sort(list.begin(), list.end(), [&key](const T& a, const T& b) { return key(a) < key(b); });
}

// Whether the lists are strictly ascending by key, as the text has them.
template <class T, class Key>
bool Ascending(const std::vector<T>& list, Key key)
{
    for (std::size_t i = 1; i < list.size(); ++i) {
        if (!(key(list[i - 1]) < key(list[i])))
            return false;
    }
    return true;
}

// Groups by identifier, and groups that share one by their members.
bool GroupBefore(const CLotteryInput::Group& a, const CLotteryInput::Group& b)
{
    return a.id != b.id ? a.id < b.id : a.members < b.members;
}

void SortGroups(std::vector<CLotteryInput::Group>& groups)
{
    std::sort(groups.begin(), groups.end(), GroupBefore);
}

} // namespace

CLotteryInput CLotteryCanonicalForm::InputOf(const CScheduleTask& task)
{
    CLotteryInput input;
    const CDivisionRules& rules = task.GetDivisionRules();
    input.subjects = task.GetCustomSubjectArray();
    input.conditionNames = rules.GetConditionNames();
    input.sameNameApart = rules.GetSameNameApart();
    input.sameSoundApart = rules.GetSameSoundApart();
    input.scoreBands = rules.GetScoreBands();

    for (const CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>())
        input.classes.push_back({info->GetId(), info->GetName(), info->GetStudentCount()});
    SortBy(input.classes, [](const auto& c) -> const std::string& { return c.id; });

    for (const CStudentInfo* info : task.GetStudentInfoList().Records<CStudentInfo>()) {
        CLotteryInput::Student student;
        student.id = info->GetId();
        student.name = info->GetName();
        student.sex = info->GetSex();
        student.school = info->GetFromSchool();
        student.scores = info->GetScoreArray();
        student.conditions = rules.GetConditions(student.id);
        input.students.push_back(std::move(student));
    }
    SortBy(input.students, [](const auto& s) -> const std::string& { return s.id; });

    for (const CStudentPreset* preset : task.GetStudentPresetList().Records<CStudentPreset>())
        input.presets.push_back({preset->GetId(), preset->GetPresetClassId()});
    SortBy(input.presets, [](const auto& p) -> const std::string& { return p.studentId; });

    for (const CMutexStudent* group : task.GetMutexStudentList().Records<CMutexStudent>()) {
        CLotteryInput::Group copy{group->GetId(), group->GetMutexStudents()};
        std::sort(copy.members.begin(), copy.members.end());
        input.exclusiveGroups.push_back(std::move(copy));
    }
    SortGroups(input.exclusiveGroups);

    for (const CDivisionRules::TogetherGroup& group : rules.TogetherGroups()) {
        CLotteryInput::Group copy{group.id, group.studentIds};
        std::sort(copy.members.begin(), copy.members.end());
        input.togetherGroups.push_back(std::move(copy));
    }
    SortGroups(input.togetherGroups);
    return input;
}

std::string CLotteryCanonicalForm::InputText(const CLotteryInput& input)
{
    std::string text = std::string(kInputHeader) + "\n";
    for (std::size_t i = 0; i < input.subjects.size(); ++i)
        Line(text, {"subject", std::to_string(i + 1), input.subjects[i]});
    for (std::size_t i = 0; i < input.conditionNames.size(); ++i)
        Line(text, {"condition", std::to_string(i + 1), input.conditionNames[i]});
    Line(text, {"setting", "same-name-apart", input.sameNameApart ? "1" : "0"});
    Line(text, {"setting", "same-sound-apart", input.sameSoundApart ? "1" : "0"});
    Line(text, {"setting", "score-bands", BandsText(input.scoreBands)});
    for (const auto& c : input.classes)
        Line(text, {"class", c.id, c.name, std::to_string(c.planned)});
    for (const auto& s : input.students)
        Line(text, {"student", s.id, s.name, std::to_string(s.sex), s.school}, s.scores);
    for (const auto& s : input.students) {
        if (std::any_of(s.conditions.begin(), s.conditions.end(), [](const std::string& v) { return !v.empty(); }))
            Line(text, {"conditions", s.id}, s.conditions);
    }
    for (const auto& p : input.presets)
        Line(text, {"preset", p.studentId, p.classId});
    for (const auto& g : input.exclusiveGroups)
        Line(text, {"exclusive", g.id}, g.members);
    for (const auto& g : input.togetherGroups)
        Line(text, {"together", g.id}, g.members);
    return text;
}

std::optional<CLotteryInput> CLotteryCanonicalForm::ParseInput(const std::string& text)
{
    CLotteryInput input;
    std::vector<std::pair<std::string, std::vector<std::string>>> conditionLines;
    std::size_t start = 0;
    bool header = false;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return std::nullopt; // every line ends in a line feed
        const std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (!header) {
            if (line != kInputHeader)
                return std::nullopt;
            header = true;
            continue;
        }
        auto parsed = Fields(line);
        if (!parsed || parsed->size() < 2)
            return std::nullopt;
        std::vector<std::string>& f = *parsed;
        const std::string& kind = f[0];
        if (kind == "subject" || kind == "condition") {
            auto& list = kind == "subject" ? input.subjects : input.conditionNames;
            if (f.size() != 3 || f[1] != std::to_string(list.size() + 1))
                return std::nullopt;
            list.push_back(f[2]);
        } else if (kind == "setting") {
            if (f.size() != 3)
                return std::nullopt;
            if (f[1] == "same-name-apart" || f[1] == "same-sound-apart") {
                if (f[2] != "0" && f[2] != "1")
                    return std::nullopt;
                (f[1] == "same-name-apart" ? input.sameNameApart : input.sameSoundApart) = f[2] == "1";
            } else if (f[1] == "score-bands") {
                if (!f[2].empty()) {
                    auto bands = CDivisionRules::ParseScoreBands(f[2]);
                    if (!bands)
                        return std::nullopt;
                    input.scoreBands = std::move(*bands);
                }
            } else {
                return std::nullopt;
            }
        } else if (kind == "class") {
            CLotteryInput::Class c;
            if (f.size() != 4 || !ParseNumber(f[3], c.planned))
                return std::nullopt;
            c.id = f[1];
            c.name = f[2];
            input.classes.push_back(std::move(c));
        } else if (kind == "student") {
            CLotteryInput::Student s;
            if (f.size() < 5 || !ParseNumber(f[3], s.sex))
                return std::nullopt;
            s.id = f[1];
            s.name = f[2];
            s.school = f[4];
            s.scores.assign(f.begin() + 5, f.end());
            input.students.push_back(std::move(s));
        } else if (kind == "conditions") {
            conditionLines.emplace_back(f[1], std::vector<std::string>(f.begin() + 2, f.end()));
        } else if (kind == "preset") {
            if (f.size() != 3)
                return std::nullopt;
            input.presets.push_back({f[1], f[2]});
        } else if (kind == "exclusive" || kind == "together") {
            auto& list = kind == "exclusive" ? input.exclusiveGroups : input.togetherGroups;
            list.push_back({f[1], std::vector<std::string>(f.begin() + 2, f.end())});
        } else {
            return std::nullopt;
        }
    }
    if (!header)
        return std::nullopt;

    // Condition values belong to the students listed before them.
    std::size_t next = 0;
    for (auto& student : input.students) {
        student.conditions.assign(input.conditionNames.size(), std::string());
        if (next < conditionLines.size() && conditionLines[next].first == student.id) {
            if (conditionLines[next].second.size() != input.conditionNames.size())
                return std::nullopt;
            student.conditions = std::move(conditionLines[next++].second);
        }
    }
    if (next != conditionLines.size())
        return std::nullopt;

    // Only the canonical order is the canonical form.
    const auto byId = [](const auto& r) -> const std::string& { return r.id; };
    if (!Ascending(input.classes, byId) || !Ascending(input.students, byId)
        || !Ascending(input.presets, [](const auto& p) -> const std::string& { return p.studentId; })
        || !std::is_sorted(input.exclusiveGroups.begin(), input.exclusiveGroups.end(), GroupBefore)
        || !std::is_sorted(input.togetherGroups.begin(), input.togetherGroups.end(), GroupBefore))
        return std::nullopt;
    for (const auto* groups : {&input.exclusiveGroups, &input.togetherGroups}) {
        for (const auto& g : *groups) {
            if (!std::is_sorted(g.members.begin(), g.members.end()))
                return std::nullopt;
        }
    }
    return input;
}

CLotteryCanonicalForm::Division CLotteryCanonicalForm::DivisionOf(const CScheduleTask& task)
{
    Division division;
    for (const CStudentInfo* info : task.GetStudentInfoList().Records<CStudentInfo>())
        division.emplace(info->GetId(), info->GetClassId());
    return division;
}

std::string CLotteryCanonicalForm::DivisionText(const Division& division)
{
    std::string text = std::string(kResultHeader) + "\n";
    for (const auto& [student, classId] : division)
        Line(text, {student, classId});
    return text;
}

void CLotteryCanonicalForm::BuildTask(const CLotteryInput& input, CScheduleTask& task)
{
    task.GetCustomSubjectArray() = input.subjects;
    int index = 0;
    for (const auto& c : input.classes) {
        auto info = std::make_unique<CClassInfo>();
        info->SetId(c.id);
        info->SetName(c.name);
        info->SetIndex(index++);
        info->SetStudentCount(c.planned);
        task.GetClassInfoList().Add(std::move(info));
    }
    index = 0;
    task.GetStudentInfoList().Reserve(input.students.size());
    for (const auto& s : input.students) {
        auto info = std::make_unique<CStudentInfo>();
        info->SetId(s.id);
        info->SetName(s.name);
        info->SetIndex(index++);
        info->SetSex(s.sex);
        info->SetFromSchool(s.school);
        info->GetScoreArray() = s.scores;
        task.GetStudentInfoList().Add(std::move(info));
    }
    for (const auto& p : input.presets) {
        auto preset = std::make_unique<CStudentPreset>();
        preset->SetId(p.studentId);
        preset->SetName(p.studentId);
        preset->SetPresetClassId(p.classId);
        task.GetStudentPresetList().Add(std::move(preset));
    }
    for (const auto& g : input.exclusiveGroups) {
        auto group = std::make_unique<CMutexStudent>();
        group->SetId(g.id);
        group->SetName(g.id);
        group->GetMutexStudents() = g.members;
        task.GetMutexStudentList().Add(std::move(group));
    }
    CDivisionRules& rules = task.GetDivisionRules();
    rules.SetSameNameApart(input.sameNameApart);
    rules.SetSameSoundApart(input.sameSoundApart);
    rules.SetScoreBands(input.scoreBands);
    rules.SetConditionNames(input.conditionNames);
    for (const auto& s : input.students) {
        if (std::any_of(s.conditions.begin(), s.conditions.end(), [](const std::string& v) { return !v.empty(); }))
            rules.SetConditions(s.id, s.conditions);
    }
    for (const auto& g : input.togetherGroups)
        rules.TogetherGroups().push_back({g.id, g.members});
}
