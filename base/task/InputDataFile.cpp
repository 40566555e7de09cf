#include "base/task/InputDataFile.h"

#include "base/util/FileUtil.h"
#include "base/timetable/RoomInfo.h"
#include "base/timetable/TeacherInfo.h"
#include "base/util/XmlFile.h"
#include "base/util/XmlRecordReader.h"
#include "base/util/XmlSectionSplit.h"
#include "base/util/XmlWriter.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <deque>
#include <exception>
#include <future>
#include <system_error>
#include <type_traits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace {

enum class FieldKind
{
    Text,
    OptionalText, // "" when absent
    Int,
    Count, // unsigned
};

// One attribute of a record kind: its name, how it is read, and how it is
// taken from and put into the record.
template <class R>
struct Field
{
    const char* name;
    FieldKind kind;
    std::string (*text)(const R&);
    void (*setText)(R&, const char*);
    long long (*number)(const R&);
    void (*setNumber)(R&, long long);
};

template <class R>
Field<R> TextField(const char* name, std::string (*get)(const R&), void (*set)(R&, const char*),
                   FieldKind kind = FieldKind::Text)
{
    return {name, kind, get, set, nullptr, nullptr};
}

template <class R>
Field<R> NumberField(const char* name, long long (*get)(const R&), void (*set)(R&, long long),
                     FieldKind kind = FieldKind::Int)
{
    return {name, kind, nullptr, nullptr, get, set};
}

template <class R>
Field<R> IdField()
{
    return TextField<R>(
        "id", [](const R& r) { return r.GetId(); }, [](R& r, const char* v) { r.SetId(v); });
}

template <class R>
Field<R> NameField()
{
    return TextField<R>(
        "name", [](const R& r) { return r.GetName(); }, [](R& r, const char* v) { r.SetName(v); });
}

template <class R>
Field<R> ShortNameField()
{
    return TextField<R>(
        "shortname", [](const R& r) { return r.GetShortName(); }, [](R& r, const char* v) { r.SetShortName(v); });
}

template <class R>
Field<R> PriorityField()
{
    return NumberField<R>(
        "priority", [](const R& r) -> long long { return r.GetPriority(); },
        [](R& r, long long v) { r.SetPriority(static_cast<int>(v)); });
}

template <class R>
Field<R> IndexField()
{
    return NumberField<R>(
        "index", [](const R& r) -> long long { return r.GetIndex(); },
        [](R& r, long long v) { r.SetIndex(static_cast<int>(v)); });
}

// A record kind: its section and element, its attributes in written order,
// and what its element holds besides them.
template <class R>
struct RecordKind
{
    const char* section;
    const char* element;
    std::vector<Field<R>> fields;
    void (*writeContent)(CXmlWriter&, const R&) = nullptr;
    void (*readContent)(const pugi::xml_node&, R&) = nullptr;
};

template <class R>
void WriteRecord(CXmlWriter& xml, const RecordKind<R>& kind, const R& record)
{
    xml.Start(kind.element);
    for (const Field<R>& field : kind.fields) {
        if (field.text)
            xml.Attribute(field.name, field.text(record));
        else
            xml.Attribute(field.name, field.number(record));
    }
    if (kind.writeContent)
        kind.writeContent(xml, record);
    xml.End();
}

template <class R>
void WriteSection(CXmlWriter& xml, const RecordKind<R>& kind, const CQZObjectList& list)
{
    xml.Start(kind.section);
    for (const auto& entry : list)
        WriteRecord(xml, kind, static_cast<const R&>(*entry.object));
    xml.End();
}

// Records are read and written in blocks of this many where there are at
// least two blocks.
constexpr std::size_t kBlock = 4096;

// Makes the blocks of count items, step items each (make(first) for each),
// on two other threads, ahead of this one, which takes them (take(result))
// in their order.
template <class Make, class Take>
void InBlocks(std::size_t count, std::size_t step, Make make, Take take)
{
    constexpr std::size_t kAhead = 2;
    using Result = std::invoke_result_t<Make&, std::size_t>;
    const auto launch = [&make](std::size_t first) {
        try {
            return std::async(std::launch::async, make, first);
        } catch (const std::system_error&) {
            return std::async(std::launch::deferred, make, first); // no thread to be had
        }
    };
    std::deque<std::future<Result>> ahead;
    for (std::size_t next = 0; next < count || !ahead.empty();) {
        while (next < count && ahead.size() < kAhead) {
            ahead.push_back(launch(next));
            next += step;
        }
        Result result = ahead.front().get();
        ahead.pop_front();
        take(std::move(result));
    }
}

// WriteSection for a long list, its records made in blocks on other
// threads; the bytes are the same.
template <class R>
void WriteSectionInBlocks(CXmlWriter& xml, const RecordKind<R>& kind, const CQZObjectList& list)
{
    if (list.GetCount() < 2 * kBlock) {
        WriteSection(xml, kind, list);
        return;
    }
    const std::vector<R*> records = list.Records<R>();
    xml.Start(kind.section);
    InBlocks(
        records.size(), kBlock,
        [&kind, &records](std::size_t first) {
            CXmlWriter fragment = CXmlWriter::Fragment();
            const std::size_t last = std::min(records.size(), first + kBlock);
            fragment.Reserve((last - first) * 480);
            for (std::size_t i = first; i < last; ++i)
                WriteRecord(fragment, kind, *records[i]);
            return fragment.TakeBytes();
        },
        [&xml](std::string bytes) { xml.Raw(bytes); });
    xml.End();
}

// The record an element holds; throws CXmlRecordReader::Missing.
template <class R>
std::unique_ptr<R> ReadRecord(const pugi::xml_node& node, const RecordKind<R>& kind)
{
    auto record = std::make_unique<R>();
    CXmlRecordReader in(node);
    for (const Field<R>& field : kind.fields) {
        switch (field.kind) {
        case FieldKind::Text: field.setText(*record, in.Required(field.name)); break;
        case FieldKind::OptionalText: field.setText(*record, in.Optional(field.name)); break;
        case FieldKind::Int: field.setNumber(*record, in.RequiredInt(field.name)); break;
        case FieldKind::Count: field.setNumber(*record, in.RequiredCount(field.name)); break;
        }
    }
    if (kind.readContent)
        kind.readContent(node, *record);
    return record;
}

// Every element child of the section is one record, whatever its name.
// Records without an id are dropped.
template <class R>
void ReadSection(const pugi::xml_node& section, const RecordKind<R>& kind, CQZObjectList& list)
{
    list.Reserve(list.GetCount() + CXmlRecordReader::CountElements(section));
    CXmlRecordReader::ForEachElement(section, [&](const pugi::xml_node& node) {
        std::unique_ptr<R> record = ReadRecord(node, kind);
        if (record->IsValid())
            list.Add(std::move(record));
    });
}

const RecordKind<CTeacherInfo>& TeacherKind()
{
    using R = CTeacherInfo;
    static const RecordKind<R> kind{
        "TeacherInfo",
        "Teacher",
        {IdField<R>(), NameField<R>(), ShortNameField<R>(), PriorityField<R>(), IndexField<R>()},
    };
    return kind;
}

const RecordKind<CClassInfo>& ClassKind()
{
    using R = CClassInfo;
    static const RecordKind<R> kind{
        "ClassInfo",
        "Class",
        {IdField<R>(), NameField<R>(), ShortNameField<R>(),
         NumberField<R>(
             "studentcount", [](const R& r) -> long long { return r.GetStudentCount(); },
             [](R& r, long long v) { r.SetStudentCount(static_cast<unsigned>(v)); }, FieldKind::Count),
         PriorityField<R>(), IndexField<R>(),
         TextField<R>(
             "headteacher", [](const R& r) { return r.GetHeadTeacherName(); },
             [](R& r, const char* v) { r.SetHeadTeacherName(v); }, FieldKind::OptionalText)},
    };
    return kind;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

const RecordKind<CStudentInfo>& StudentKind()
{
    using R = CStudentInfo;
    static const RecordKind<R> kind{
        "StudentInfo",
        "Student",
        {IdField<R>(), NameField<R>(),
         NumberField<R>(
             "sex", [](const R& r) -> long long { return r.GetSex(); },
             [](R& r, long long v) { r.SetSex(static_cast<int>(v)); }),
         TextField<R>(
             "fromSchool", [](const R& r) { return r.GetFromSchool(); },
             [](R& r, const char* v) { r.SetFromSchool(v); }),
         TextField<R>(
             "class", [](const R& r) { return r.GetClassId(); }, [](R& r, const char* v) { r.SetClassId(v); }),
         IndexField<R>()},
        // One "Score" per score in a "ScoreInfo" written also when empty.
        [](CXmlWriter& xml, const R& student) {
            xml.Start("ScoreInfo");
            const std::vector<std::string>& values = student.GetScoreArray();
            for (std::size_t k = 0; k < values.size(); ++k) {
                xml.Start("Score");
                xml.Attribute("id", static_cast<long long>(k));
                xml.Attribute("value", values[k]);
                xml.End();
            }
            xml.End();
        },
        // The scores of the first "ScoreInfo" child, in whatever letter case.
        [](const pugi::xml_node& node, R& student) {
            for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
                if (child.type() != pugi::node_element || !EqualsNoCase(child.name(), "ScoreInfo"))
                    continue;
                std::vector<std::string>& scores = student.GetScoreArray();
                scores.reserve(CXmlRecordReader::CountElements(child));
                CXmlRecordReader::ForEachElement(child, [&scores](const pugi::xml_node& score) {
                    scores.emplace_back(CXmlRecordReader(score).Required("value"));
                });
                break;
            }
        },
    };
    return kind;
}

const RecordKind<CRoomInfo>& RoomKind()
{
    using R = CRoomInfo;
    static const RecordKind<R> kind{
        "RoomInfo",
        "Room",
        {IdField<R>(), NameField<R>(), ShortNameField<R>(),
         NumberField<R>(
             "capacity", [](const R& r) -> long long { return r.GetCapacity(); },
             [](R& r, long long v) { r.SetCapacity(static_cast<unsigned>(v)); }, FieldKind::Count),
         PriorityField<R>(), IndexField<R>()},
    };
    return kind;
}

// Blanks around the text of an element: a file laid out by hand or by
// another program puts line breaks and indentation there.
std::string Trimmed(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
}

const RecordKind<CMutexStudent>& GroupKind()
{
    using R = CMutexStudent;
    static const RecordKind<R> kind{
        "MutexStudentInfo",
        "MutexStudent",
        {IdField<R>(), IndexField<R>()},
        // One "Id" per member, its text the member's id.
        [](CXmlWriter& xml, const R& group) {
            for (const std::string& member : group.GetMutexStudents()) {
                xml.Start("Id");
                xml.Text(member);
                xml.End();
            }
        },
        [](const pugi::xml_node& node, R& group) {
            std::vector<std::string>& members = group.GetMutexStudents();
            CXmlRecordReader::ForEachElement(
                node, [&members](const pugi::xml_node& id) { members.push_back(Trimmed(id.child_value())); });
        },
    };
    return kind;
}

const RecordKind<CStudentPreset>& PresetKind()
{
    using R = CStudentPreset;
    static const RecordKind<R> kind{
        "StudentPreset",
        "Preset",
        {IdField<R>(),
         TextField<R>(
             "class", [](const R& r) { return r.GetPresetClassId(); },
             [](R& r, const char* v) { r.SetPresetClassId(v); }),
         IndexField<R>()},
    };
    return kind;
}

// The first match of "//Input/<section>", in document order.
// The sections of an input file: for each name, its first element (in
// document order) that is a child of an element "Input", wherever that
// stands. One walk over the tree finds them all.
class CSections
{
public:
    static constexpr std::array<const char*, 7> kNames{"SubjectInfo", "TeacherInfo", "ClassInfo", "StudentInfo",
                                                       "RoomInfo", "MutexStudentInfo", "StudentPreset"};

    explicit CSections(const pugi::xml_document& doc)
    {
        std::size_t missing = kNames.size();
        pugi::xml_node node = doc.first_child();
        while (node && missing > 0) {
            if (node.type() == pugi::node_element && std::strcmp(node.parent().name(), "Input") == 0) {
                for (std::size_t k = 0; k < kNames.size(); ++k) {
                    if (!m_found[k] && std::strcmp(node.name(), kNames[k]) == 0) {
                        m_found[k] = node;
                        --missing;
                    }
                }
            }
            if (node.first_child()) {
                node = node.first_child();
                continue;
            }
            while (node && !node.next_sibling())
                node = node.parent();
            if (node)
                node = node.next_sibling();
        }
    }

    pugi::xml_node operator[](const char* name) const
    {
        for (std::size_t k = 0; k < kNames.size(); ++k)
            if (std::strcmp(name, kNames[k]) == 0)
                return m_found[k];
        return {};
    }

private:
    std::array<pugi::xml_node, kNames.size()> m_found{};
};

} // namespace

namespace {

void WriteInput(CXmlWriter& xml, const CScheduleTask& task)
{
    xml.Start("Input");
    WriteSection(xml, TeacherKind(), task.GetTeacherInfoList());
    WriteSection(xml, ClassKind(), task.GetClassInfoList());
    xml.Start("SubjectInfo");
    const std::vector<std::string>& subjects = task.GetCustomSubjectArray();
    for (std::size_t k = 0; k < subjects.size(); ++k) {
        xml.Start("Subject");
        xml.Attribute("id", static_cast<long long>(k));
        xml.Attribute("name", subjects[k]);
        xml.End();
    }
    xml.End();
    WriteSectionInBlocks(xml, StudentKind(), task.GetStudentInfoList());
    WriteSection(xml, RoomKind(), task.GetRoomInfoList());
    WriteSection(xml, GroupKind(), task.GetMutexStudentList());
    WriteSection(xml, PresetKind(), task.GetStudentPresetList());
    xml.End();
}

} // namespace

namespace {

// The sections in their order; readStudents reads the students' section.
// A record that lacks a required attribute stops the reading there.
template <class Students>
CScheduleTask::InputState ReadSections(const CSections& sections, CScheduleTask& task, Students readStudents)
{
    try {
        CXmlRecordReader::ForEachElement(sections["SubjectInfo"], [&task](const pugi::xml_node& node) {
            task.GetCustomSubjectArray().emplace_back(CXmlRecordReader(node).Required("name"));
        });
        ReadSection(sections["TeacherInfo"], TeacherKind(), task.GetTeacherInfoList());
        ReadSection(sections["ClassInfo"], ClassKind(), task.GetClassInfoList());
        readStudents();
        ReadSection(sections["RoomInfo"], RoomKind(), task.GetRoomInfoList());
        ReadSection(sections["MutexStudentInfo"], GroupKind(), task.GetMutexStudentList());
        ReadSection(sections["StudentPreset"], PresetKind(), task.GetStudentPresetList());
    } catch (const std::exception&) {
        return CScheduleTask::InputState::Damaged;
    }
    return CScheduleTask::InputState::Loaded;
}

// Reads a file with a long student list without holding its whole document:
// the document without the students' content is parsed on its own, and the
// content in blocks of whole students, each a fragment parsed on one of two
// other threads. Nothing when the text does not lend itself to that; the
// caller then parses it whole, which gives the same.
std::optional<CScheduleTask::InputState> ReadSplit(const std::string& text, CScheduleTask& task)
{
    constexpr std::size_t kSplitFrom = std::size_t{4} << 20;
    if (text.size() < kSplitFrom || task.GetStudentInfoList().GetCount() > 0)
        return std::nullopt;
    const std::optional<CXmlSectionSplit::Section> split = CXmlSectionSplit::Find(text, "StudentInfo", kBlock);
    if (!split || split->cuts.size() < 3)
        return std::nullopt;

    // The rest must be where the whole document would have the students.
    CXmlFile rest;
    if (!rest.LoadText(text.substr(0, split->contentBegin) + text.substr(split->contentEnd)))
        return std::nullopt;
    const CSections sections(rest.Document());
    const pugi::xml_node section = sections["StudentInfo"];
    if (!section || section.offset_debug() != static_cast<std::ptrdiff_t>(split->name))
        return std::nullopt;

    struct Block
    {
        bool parsed = false;
        std::vector<std::unique_ptr<CStudentInfo>> records;
        std::exception_ptr stop;
    };
    // The students go into a list of their own as their blocks come in, so
    // that nothing reaches the task before every block has parsed.
    CQZObjectList students;
    students.Reserve((split->cuts.size() - 1) * kBlock); // at most; growing it block by block would rehash it each time
    std::exception_ptr stop;
    bool parsed = true;
    InBlocks(
        split->cuts.size() - 1, 1,
        [&text, &split](std::size_t k) {
            Block block;
            // A copy, as the parser writes into its text and a whole parse
            // may yet need the original.
            std::string piece = text.substr(split->cuts[k], split->cuts[k + 1] - split->cuts[k]);
            pugi::xml_document fragment;
            block.parsed = piece.empty()
                           || fragment.load_buffer_inplace(piece.data(), piece.size(),
                                                           pugi::parse_default | pugi::parse_fragment,
                                                           pugi::encoding_utf8);
            if (!block.parsed)
                return block;
            try {
                CXmlRecordReader::ForEachElement(fragment, [&block](const pugi::xml_node& node) {
                    block.records.push_back(ReadRecord(node, StudentKind()));
                });
            } catch (...) {
                block.stop = std::current_exception();
            }
            return block;
        },
        [&](Block block) {
            parsed = parsed && block.parsed;
            if (!parsed || stop)
                return; // the rest only has to parse
            for (std::unique_ptr<CStudentInfo>& record : block.records)
                if (record->IsValid())
                    students.Add(std::move(record));
            stop = block.stop;
        });
    if (!parsed)
        return std::nullopt;

    return ReadSections(sections, task, [&students, &stop, &task] {
        task.GetStudentInfoList().Swap(students);
        if (stop)
            std::rethrow_exception(stop);
    });
}

} // namespace

std::string CInputDataFile::Write(const CScheduleTask& task)
{
    CXmlWriter xml;
    xml.Reserve(4096 + task.GetStudentInfoList().GetCount() * 480 + task.GetClassInfoList().GetCount() * 200
                + task.GetMutexStudentList().GetCount() * 160 + task.GetStudentPresetList().GetCount() * 120);
    WriteInput(xml, task);
    return xml.TakeBytes();
}

bool CInputDataFile::WriteTo(const CScheduleTask& task, const CFileUtil::Sink& sink)
{
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    CXmlWriter xml;
    xml.SetSink(sink, kPiece);
    WriteInput(xml, task);
    return xml.Finish();
}

CScheduleTask::InputState CInputDataFile::Read(const std::string& path, CScheduleTask& task)
{
    const std::optional<std::string> bytes = CFileUtil::ReadFile(path);
    if (!bytes)
        return CScheduleTask::InputState::Missing;
    return ReadBytes(std::move(*bytes), task);
}

CScheduleTask::InputState CInputDataFile::ReadBytes(std::string bytes, CScheduleTask& task)
{
    std::string text = CXmlFile::ParserText(std::move(bytes));
    if (std::optional<CScheduleTask::InputState> state = ReadSplit(text, task))
        return *state;
    CXmlFile file;
    if (!file.LoadText(std::move(text)))
        return CScheduleTask::InputState::Missing;
    const CSections sections(file.Document());
    return ReadSections(sections, task, [&sections, &task] {
        ReadSection(sections["StudentInfo"], StudentKind(), task.GetStudentInfoList());
    });
}
