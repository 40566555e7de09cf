#include "logic/export/PublicationList.h"

#include "base/records/ClassInfo.h"
#include "base/records/StudentInfo.h"
#include "base/task/ScheduleTask.h"
#include "base/util/LocalTime.h"
#include "base/util/TextCodec.h"
#include "core/DivisionTableData.h"
#include "logic/pinyin/PinyinConverter.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string_view>
#include <unordered_map>

namespace {

constexpr std::size_t kShownDigits = 4;
constexpr std::size_t kMadeIdLength = 32;

// The characters of a UTF-8 text, one string each.
std::vector<std::string> Characters(const std::string& text)
{
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        length = std::min(length, text.size() - i);
        characters.push_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool IsSeparator(const std::string& character)
{
    return character == " " || character == "\xC2\xB7" /* · */ || character == "\xE2\x80\xA2" /* • */
           || character == "\xE3\x83\xBB" /* ・ */ || character == "\xE3\x80\x80" /* 　 */;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

struct ColumnName
{
    CPublicationList::Column column;
    const char* key;
    const char* title;
};

constexpr ColumnName kColumnNames[] = {
    {CPublicationList::Column::Name, "name", "姓名"},
    {CPublicationList::Column::Sex, "sex", "性别"},
    {CPublicationList::Column::School, "school", "原学校"},
    {CPublicationList::Column::ExamNumber, "number", "考号"},
};

// Words that ask for scores, in any letter case.
constexpr const char* kScoreWords[] = {"score", "scores", "total", "成绩", "分数", "总分", "得分"};

// The pieces of a column list: split at commas and blanks.
std::vector<std::string> Pieces(const std::string& text)
{
    std::string plain;
    for (const std::string& character : Characters(text)) {
        if (character == "," || character == "\xEF\xBC\x8C" /* ， */ || character == "\xE3\x80\x81" /* 、 */
            || character == " " || character == "\t" || character == "\xE3\x80\x80")
            plain += '\n';
        else
            plain += character;
    }
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= plain.size()) {
        const std::size_t end = std::min(plain.find('\n', start), plain.size());
        if (end > start)
            pieces.push_back(plain.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

} // namespace

bool CPublicationList::ParseColumns(const std::string& text, std::vector<Column>& columns, std::string& error,
                                    const CScheduleTask* task)
{
    std::vector<Column> parsed;
    for (const std::string& piece : Pieces(text)) {
        const std::string key = Lower(piece);
        bool isScore = std::any_of(std::begin(kScoreWords), std::end(kScoreWords),
                                   [&key](const char* word) { return key == word; });
        if (task) {
            const auto& subjects = task->GetCustomSubjectArray();
            isScore = isScore || std::find(subjects.begin(), subjects.end(), piece) != subjects.end();
        }
        if (isScore) {
            error = "分班公示不列成绩：“" + piece + "”是成绩列，不能公示。";
            return false;
        }
        const auto* found = std::find_if(std::begin(kColumnNames), std::end(kColumnNames), [&](const ColumnName& name) {
            return key == name.key || piece == name.title;
        });
        if (found == std::end(kColumnNames)) {
            error =
                "没有“" + piece + "”这一列；可选的列：name（姓名）、sex（性别）、school（原学校）、number（考号）。";
            return false;
        }
        if (std::find(parsed.begin(), parsed.end(), found->column) != parsed.end()) {
            error = "“" + piece + "”列重复了。";
            return false;
        }
        parsed.push_back(found->column);
    }
    if (parsed.empty()) {
        error = "没有指定要公示的列。";
        return false;
    }
    columns = std::move(parsed);
    return true;
}

std::string CPublicationList::ColumnTitle(Column column)
{
    for (const ColumnName& name : kColumnNames)
        if (name.column == column)
            return name.title;
    return std::string();
}

std::string CPublicationList::ColumnKey(Column column)
{
    for (const ColumnName& name : kColumnNames)
        if (name.column == column)
            return name.key;
    return std::string();
}

std::string CPublicationList::MaskName(const std::string& name)
{
    const std::vector<std::string> characters = Characters(Trimmed(name));
    if (characters.empty())
        return std::string();
    if (characters.size() == 1)
        return "*";
    std::string masked = characters.front();
    // Two characters: only the second is hidden; more: all between the
    // first and the last.
    const std::size_t end = characters.size() == 2 ? 2 : characters.size() - 1;
    for (std::size_t i = 1; i < end; ++i)
        masked += IsSeparator(characters[i]) ? characters[i] : std::string("*");
    if (characters.size() > 2)
        masked += characters.back();
    return masked;
}

std::string CPublicationList::MaskExamNumber(const std::string& number)
{
    const std::vector<std::string> characters = Characters(Trimmed(number));
    if (characters.size() <= kShownDigits) {
        std::string whole;
        for (const std::string& c : characters)
            whole += c;
        return whole;
    }
    std::string masked(characters.size() - kShownDigits, '*');
    for (std::size_t i = characters.size() - kShownDigits; i < characters.size(); ++i)
        masked += characters[i];
    return masked;
}

std::string CPublicationList::ExamNumberOf(const std::string& studentId)
{
    const bool madeUp = studentId.size() == kMadeIdLength
                        && std::all_of(studentId.begin(), studentId.end(),
                                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
    return madeUp ? std::string() : studentId;
}

bool CPublicationList::HasExamNumbers(const CScheduleTask& task)
{
    const auto students = task.GetStudentInfoList().Records<CStudentInfo>();
    return std::any_of(students.begin(), students.end(), [](const CStudentInfo* student) {
        return !student->ClassIdRef().empty() && !ExamNumberOf(student->GetId()).empty();
    });
}

std::string CPublicationList::SortKey(const std::string& name)
{
    CPinyinConverter converter;
    converter.SetSeparator(true);
    std::string key = converter.Transcribe(CTextCodec::ToGbk(Trimmed(name)));
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return key;
}

CPublicationList::CPublicationList(const CScheduleTask& task, Options options)
    : m_task(task), m_options(std::move(options))
{
    std::unordered_map<std::string, std::size_t> listOfClass;
    for (const CClassInfo* info : CDivisionTableData::ClassesInOrder(task)) {
        listOfClass.emplace(info->GetId(), m_classes.size());
        m_classes.push_back({info->GetId(), info->GetName(), Trimmed(info->GetHeadTeacherName()), {}});
    }

    struct Entry
    {
        std::string key;
        std::string name;
        std::string number;
        const CStudentInfo* student;
    };
    std::vector<std::vector<Entry>> entries(m_classes.size());
    for (const CStudentInfo* student : task.GetStudentInfoList().Records<CStudentInfo>()) {
        const auto found = listOfClass.find(student->ClassIdRef());
        if (found == listOfClass.end())
            continue;
        const std::string name = Trimmed(student->GetName());
        entries[found->second].push_back({SortKey(name), name, ExamNumberOf(student->GetId()), student});
    }
    for (std::size_t c = 0; c < m_classes.size(); ++c) {
        std::vector<Entry>& list = entries[c];
        std::sort(list.begin(), list.end(), [](const Entry& a, const Entry& b) {
            if (a.key != b.key)
                return a.key < b.key;
            if (a.name != b.name)
                return a.name < b.name;
            if (a.number != b.number)
                return a.number < b.number;
            return a.student->GetId() < b.student->GetId();
        });
        for (const Entry& entry : list) {
            std::vector<std::string> row = {std::to_string(m_classes[c].rows.size() + 1)};
            for (Column column : m_options.columns)
                row.push_back(Cell(column, entry.name, entry.student->GetSex(), entry.student->GetFromSchool(),
                                   entry.student->GetId()));
            m_classes[c].rows.push_back(std::move(row));
        }
    }
}

std::string CPublicationList::Cell(Column column, const std::string& name, int sex, const std::string& school,
                                   const std::string& studentId) const
{
    switch (column) {
    case Column::Name: return m_options.maskNames ? MaskName(name) : name;
    case Column::Sex: return sex == 0 ? "女" : "男";
    case Column::School: return Trimmed(school);
    case Column::ExamNumber: return MaskExamNumber(ExamNumberOf(studentId));
    }
    return std::string();
}

std::string CPublicationList::Title() const
{
    std::string title = Trimmed(m_options.schoolName);
    const std::string task = Trimmed(m_task.GetTaskInfo().GetTaskName());
    if (!task.empty())
        title += (title.empty() ? "" : " ") + task;
    return title + (title.empty() ? "" : " ") + "分班公示";
}

std::vector<std::string> CPublicationList::ColumnTitles() const
{
    std::vector<std::string> titles = {"序号"};
    for (Column column : m_options.columns)
        titles.push_back(ColumnTitle(column));
    return titles;
}

bool CPublicationList::IsEmpty() const
{
    return std::all_of(m_classes.begin(), m_classes.end(), [](const ClassList& list) { return list.rows.empty(); });
}

std::string CPublicationList::ClassLine(const ClassList& list)
{
    std::string line = "班级：" + list.className;
    if (!list.headTeacher.empty())
        line += "　班主任：" + list.headTeacher;
    return line + "　共 " + std::to_string(list.rows.size()) + " 人";
}

std::string CPublicationList::FooterText(const std::string& date, const std::string& digest)
{
    std::string footer = "公示日期：" + date;
    const std::string trimmed = Trimmed(digest);
    if (!trimmed.empty())
        footer += "　结果摘要：" + trimmed;
    return footer;
}

std::string CPublicationList::Today()
{
    const std::tm now = CLocalTime::Of(std::time(nullptr));
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", now.tm_year + 1900, now.tm_mon + 1, now.tm_mday);
    return text;
}

std::vector<CWorkbookWriter::Table> CPublicationList::Sheets(const std::string& footer) const
{
    const std::vector<std::string> titles = ColumnTitles();
    std::vector<CWorkbookWriter::Table> sheets;
    for (const ClassList& list : m_classes) {
        CWorkbookWriter::Table table;
        table.title = Title();
        table.sheetName = list.className;
        table.notes = {ClassLine(list)};
        table.footnotes = {footer};
        table.columns = titles;
        table.rows = list.rows;
        // Wide enough for the longest text: two units a Chinese character.
        for (std::size_t c = 0; c < titles.size(); ++c) {
            std::size_t widest = 0;
            auto widen = [&widest](const std::string& text) {
                std::size_t units = 0;
                for (const std::string& character : Characters(text))
                    units += character.size() > 1 ? 2 : 1;
                widest = std::max(widest, units);
            };
            widen(titles[c]);
            for (const auto& row : list.rows)
                widen(row[c]);
            table.widths.push_back(std::clamp(static_cast<double>(widest) + 4, 8.0, 50.0));
        }
        sheets.push_back(std::move(table));
    }
    return sheets;
}
