#include "logic/lottery/LotteryRecord.h"

#include "base/records/ClassInfo.h"
#include "base/records/ReportInfo.h"
#include "base/records/StudentInfo.h"
#include "base/task/ScheduleTask.h"
#include "base/util/FileUtil.h"

#include <charconv>
#include <cstdio>
#include <map>

namespace {

constexpr const char* kSeparator = "：";
constexpr const char* kClassHeader = "各班情况：班级\t人数\t女生\t男生\t总分平均分";

namespace Label {
constexpr const char* Task = "任务";
constexpr const char* Time = "时间";
constexpr const char* Version = "程序版本";
constexpr const char* Seed = "摇号种子";
constexpr const char* SeedSource = "种子来源";
constexpr const char* Work = "搜索步数";
constexpr const char* Students = "学生人数";
constexpr const char* Classes = "班级数";
constexpr const char* Placed = "已分班人数";
constexpr const char* InputDigest = "输入摘要（SHA-256）";
constexpr const char* ResultDigest = "结果摘要（SHA-256）";
constexpr const char* Rule = "规则";
constexpr const char* Class = "班级";
constexpr const char* TeacherSeed = "班主任抽签种子";
constexpr const char* TeacherTime = "班主任抽签时间";
constexpr const char* Teachers = "班主任名单";
constexpr const char* Teacher = "班主任";
} // namespace Label

constexpr const char* kTyped = "现场输入";
constexpr const char* kDrawn = "程序随机生成";

// A value on one line of the record: no line breaks, no tabs.
std::string OneLine(const std::string& value)
{
    std::string out = value;
    for (char& c : out) {
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    }
    return out;
}

void Put(std::string& text, const char* label, const std::string& value)
{
    text += label;
    text += kSeparator;
    text += value;
    text += '\n';
}

std::vector<std::string> Split(const std::string& value, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = value.find(separator, start);
        parts.push_back(value.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

template <class T>
bool Number(const std::string& text, T& value)
{
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(text.data(), last, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == last;
}

std::string Joined(const std::vector<std::string>& items, const char* separator)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : separator) + item;
    return text;
}

} // namespace

std::string CLotteryRecord::Text() const
{
    std::string text = std::string(kTitle) + "\n";
    Put(text, Label::Task, OneLine(taskName));
    Put(text, Label::Time, OneLine(time));
    Put(text, Label::Version, OneLine(version));
    Put(text, Label::Seed, seed);
    Put(text, Label::SeedSource, seedDrawn ? kDrawn : kTyped);
    Put(text, Label::Work, std::to_string(work));
    Put(text, Label::Students, std::to_string(students));
    Put(text, Label::Classes, std::to_string(classes));
    Put(text, Label::Placed, std::to_string(placed));
    Put(text, Label::InputDigest, inputDigest);
    Put(text, Label::ResultDigest, resultDigest);
    for (const std::string& rule : rules)
        Put(text, Label::Rule, OneLine(rule));
    text += kClassHeader;
    text += '\n';
    for (const ClassFigures& f : figures) {
        Put(text, Label::Class,
            OneLine(f.name) + "\t" + std::to_string(f.students) + "\t" + std::to_string(f.girls) + "\t"
                + std::to_string(f.boys) + "\t" + f.average);
    }
    if (teacherDraw) {
        Put(text, Label::TeacherSeed, teacherDraw->seed);
        Put(text, Label::TeacherTime, OneLine(teacherDraw->time));
        std::vector<std::string> names;
        for (const std::string& teacher : teacherDraw->teachers)
            names.push_back(OneLine(teacher));
        Put(text, Label::Teachers, Joined(names, "\t"));
        for (const auto& a : teacherDraw->assignments)
            Put(text, Label::Teacher, OneLine(a.classId) + "\t" + OneLine(a.className) + "\t" + OneLine(a.teacher));
    }
    return text;
}

std::optional<CLotteryRecord> CLotteryRecord::Parse(const std::string& text)
{
    CLotteryRecord record;
    // An editor may have put a byte order mark in front.
    const std::string kBom = "\xEF\xBB\xBF";
    const std::vector<std::string> lines =
        Split(text.compare(0, kBom.size(), kBom) == 0 ? text.substr(kBom.size()) : text, '\n');
    if (lines.empty() || (lines[0] != kTitle && lines[0] != std::string(kTitle) + "\r"))
        return std::nullopt;
    std::map<std::string, int> seen;
    const std::string separator = kSeparator;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line == kClassHeader)
            continue;
        const std::size_t colon = line.find(separator);
        if (colon == std::string::npos)
            return std::nullopt;
        const std::string label = line.substr(0, colon);
        const std::string value = line.substr(colon + separator.size());
        ++seen[label];
        bool ok = true;
        if (label == Label::Task) {
            record.taskName = value;
        } else if (label == Label::Time) {
            record.time = value;
        } else if (label == Label::Version) {
            record.version = value;
        } else if (label == Label::Seed) {
            record.seed = value;
        } else if (label == Label::SeedSource) {
            ok = value == kTyped || value == kDrawn;
            record.seedDrawn = value == kDrawn;
        } else if (label == Label::Work) {
            ok = Number(value, record.work);
        } else if (label == Label::Students) {
            ok = Number(value, record.students);
        } else if (label == Label::Classes) {
            ok = Number(value, record.classes);
        } else if (label == Label::Placed) {
            ok = Number(value, record.placed);
        } else if (label == Label::InputDigest) {
            record.inputDigest = value;
        } else if (label == Label::ResultDigest) {
            record.resultDigest = value;
        } else if (label == Label::Rule) {
            record.rules.push_back(value);
        } else if (label == Label::Class) {
            const std::vector<std::string> f = Split(value, '\t');
            ClassFigures figures;
            ok = f.size() == 5 && Number(f[1], figures.students) && Number(f[2], figures.girls)
                 && Number(f[3], figures.boys);
            if (ok) {
                figures.name = f[0];
                figures.average = f[4];
                record.figures.push_back(std::move(figures));
            }
        } else if (label == Label::TeacherSeed || label == Label::TeacherTime || label == Label::Teachers
                   || label == Label::Teacher) {
            if (!record.teacherDraw)
                record.teacherDraw.emplace();
            TeacherDraw& draw = *record.teacherDraw;
            if (label == Label::TeacherSeed) {
                draw.seed = value;
            } else if (label == Label::TeacherTime) {
                draw.time = value;
            } else if (label == Label::Teachers) {
                draw.teachers = value.empty() ? std::vector<std::string>() : Split(value, '\t');
            } else {
                const std::vector<std::string> f = Split(value, '\t');
                ok = f.size() == 3;
                if (ok)
                    draw.assignments.push_back({f[0], f[1], f[2]});
            }
        } else {
            ok = false; // an unknown line: not a record of this program
        }
        if (!ok)
            return std::nullopt;
    }
    for (const char* single : {Label::Seed, Label::Work, Label::InputDigest, Label::ResultDigest}) {
        if (seen[single] != 1)
            return std::nullopt;
    }
    return record;
}

std::vector<std::string> CLotteryRecord::RulesOf(const CLotteryInput& input)
{
    std::vector<std::string> rules;
    rules.push_back("科目：" + (input.subjects.empty() ? std::string("（无）") : Joined(input.subjects, "、")));
    rules.push_back(std::string("同名学生分开：") + (input.sameNameApart ? "开" : "关"));
    rules.push_back(std::string("同音学生分开：") + (input.sameSoundApart ? "开" : "关"));
    std::string bands;
    for (int limit : input.scoreBands)
        bands += (bands.empty() ? "" : ",") + std::to_string(limit);
    rules.push_back("分数段均衡：" + (bands.empty() ? std::string("关") : bands));
    rules.push_back("条件列均衡："
                    + (input.conditionNames.empty() ? std::string("（无）") : Joined(input.conditionNames, "、")));

    // Names, with the identifier only where a name is not unique.
    std::map<std::string, std::string> names;
    std::map<std::string, int> nameCount;
    for (const auto& s : input.students) {
        names.emplace(s.id, s.name);
        ++nameCount[s.name];
    }
    std::map<std::string, std::string> classNames;
    for (const auto& c : input.classes) {
        classNames.emplace(c.id, c.name);
        ++nameCount[c.name];
    }
    const auto nameOf = [&nameCount](const std::map<std::string, std::string>& map, const std::string& id) {
        const auto found = map.find(id);
        if (found == map.end())
            return id;
        return nameCount[found->second] > 1 || found->second.empty() ? found->second + "（" + id + "）" : found->second;
    };
    const auto members = [&](const std::vector<std::string>& ids) {
        std::vector<std::string> shown;
        for (const std::string& id : ids)
            shown.push_back(nameOf(names, id));
        return Joined(shown, "、");
    };
    for (const auto& p : input.presets)
        rules.push_back("预先分班：" + nameOf(names, p.studentId) + " → " + nameOf(classNames, p.classId));
    for (const auto& g : input.exclusiveGroups)
        rules.push_back("互斥组：" + members(g.members));
    for (const auto& g : input.togetherGroups)
        rules.push_back("同班学生组：" + members(g.members));
    return rules;
}

std::vector<CLotteryRecord::ClassFigures> CLotteryRecord::FiguresOf(const CScheduleTask& task)
{
    std::vector<ClassFigures> figures;
    for (const CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>()) {
        ClassFigures f;
        f.name = info->GetName();
        double sum = 0.0;
        for (const CStudentInfo* student : task.GetStudentInfoList().Records<CStudentInfo>()) {
            if (student->ClassIdRef() != info->IdRef())
                continue;
            ++f.students;
            ++(student->IsGirl() ? f.girls : f.boys);
            for (const std::string& score : student->GetScoreArray())
                sum += CStudentInfo::ScoreValue(score);
        }
        if (f.students == 0) {
            f.average = "-";
        } else {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.1f", sum / f.students);
            f.average = buffer;
        }
        figures.push_back(std::move(f));
    }
    return figures;
}

std::string CLotteryRecord::ProgramVersion()
{
    return QUILLON_VERSION;
}

std::string CLotteryRecord::PathIn(const std::string& folder)
{
    return CFileUtil::WithSeparator(folder) + kFileName;
}

std::string CLotteryRecord::InputPathIn(const std::string& folder)
{
    return CFileUtil::WithSeparator(folder) + kInputFileName;
}

CLotteryRecord::LoadResult CLotteryRecord::Load(const std::string& folder, CLotteryRecord& record,
                                                std::string& inputText)
{
    const std::optional<std::string> text = CFileUtil::ReadFile(PathIn(folder));
    if (!text)
        return CFileUtil::FileExists(PathIn(folder)) ? LoadResult::Unreadable : LoadResult::Missing;
    std::optional<CLotteryRecord> parsed = Parse(*text);
    std::optional<std::string> input = CFileUtil::ReadFile(InputPathIn(folder));
    if (!parsed || !input)
        return LoadResult::Unreadable;
    record = std::move(*parsed);
    inputText = std::move(*input);
    return LoadResult::Loaded;
}

bool CLotteryRecord::Save(const std::string& folder, const std::string& inputText) const
{
    const std::string text = Text();
    return CFileUtil::ReplaceFiles({{InputPathIn(folder), inputText}, {PathIn(folder), text}}) == 2;
}

bool CLotteryRecord::SaveRecord(const std::string& folder) const
{
    return CFileUtil::WriteFileAtomically(PathIn(folder), Text());
}

std::string CLotteryRecord::AddToReport(const std::string& report) const
{
    return CReportInfo::WithSection(report, kTitle, Text());
}
