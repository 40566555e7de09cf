#include "base/task/DivisionRulesFile.h"

#include "base/records/DivisionRules.h"
#include "base/util/FileUtil.h"
#include "base/util/XmlFile.h"

#include <pugixml.hpp>

#include <algorithm>
#include <utility>
#include <vector>

namespace {
constexpr const char* kRoot = "QuillonRules";

struct StringWriter : pugi::xml_writer
{
    std::string bytes;
    void write(const void* data, size_t size) override { bytes.append(static_cast<const char*>(data), size); }
};
} // namespace

std::string CDivisionRulesFile::Write(const CDivisionRules& rules)
{
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = doc.append_child(kRoot);
    root.append_attribute("version") = 1;

    pugi::xml_node settings = root.append_child("Settings");
    settings.append_attribute("sameNameApart") = rules.GetSameNameApart() ? 1 : 0;
    settings.append_attribute("sameSoundApart") = rules.GetSameSoundApart() ? 1 : 0;
    settings.append_attribute("scoreBands") = CDivisionRules::ScoreBandsText(rules.GetScoreBands()).c_str();

    pugi::xml_node together = root.append_child("Together");
    for (const CDivisionRules::TogetherGroup& group : rules.TogetherGroups()) {
        pugi::xml_node node = together.append_child("Group");
        node.append_attribute("id") = group.id.c_str();
        for (const std::string& id : group.studentIds)
            node.append_child("Student").append_attribute("id") = id.c_str();
    }

    pugi::xml_node conditions = root.append_child("Conditions");
    for (const std::string& name : rules.GetConditionNames())
        conditions.append_child("Column").append_attribute("name") = name.c_str();
    // Students in a stable order, so that the same rules write the same bytes.
    std::vector<std::pair<std::string, std::vector<std::string>>> students;
    rules.ForEachConditions([&students](const std::string& id, const std::vector<std::string>& values) {
        students.emplace_back(id, values);
    });
    std::sort(students.begin(), students.end());
    for (const auto& [id, values] : students) {
        pugi::xml_node node = conditions.append_child("Student");
        node.append_attribute("id") = id.c_str();
        for (const std::string& value : values)
            node.append_child("Value").text() = value.c_str();
    }

    StringWriter writer;
    doc.save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
    return writer.bytes;
}

CDivisionRulesFile::ReadResult CDivisionRulesFile::Read(const std::string& path, CDivisionRules& rules)
{
    if (!CFileUtil::FileExists(path))
        return ReadResult::Missing;
    std::optional<std::string> bytes = CFileUtil::ReadFile(path);
    if (!bytes)
        return ReadResult::Damaged;
    return ReadBytes(std::move(*bytes), rules);
}

CDivisionRulesFile::ReadResult CDivisionRulesFile::ReadBytes(std::string bytes, CDivisionRules& rules)
{
    rules = CDivisionRules();
    CXmlFile file;
    if (!file.LoadBytes(std::move(bytes)))
        return ReadResult::Damaged;
    const pugi::xml_node root = file.Document().child(kRoot);
    if (!root)
        return ReadResult::Damaged;

    const pugi::xml_node settings = root.child("Settings");
    rules.SetSameNameApart(settings.attribute("sameNameApart").as_int() != 0);
    rules.SetSameSoundApart(settings.attribute("sameSoundApart").as_int() != 0);
    const std::string bands = settings.attribute("scoreBands").as_string();
    if (!bands.empty())
        rules.SetScoreBands(CDivisionRules::ParseScoreBands(bands).value_or(CDivisionRules::DefaultScoreBands()));

    for (const pugi::xml_node group : root.child("Together").children("Group")) {
        CDivisionRules::TogetherGroup read{group.attribute("id").as_string(), {}};
        for (const pugi::xml_node student : group.children("Student"))
            read.studentIds.emplace_back(student.attribute("id").as_string());
        rules.TogetherGroups().push_back(std::move(read));
    }

    const pugi::xml_node conditions = root.child("Conditions");
    std::vector<std::string> names;
    for (const pugi::xml_node column : conditions.children("Column"))
        names.emplace_back(column.attribute("name").as_string());
    rules.SetConditionNames(names);
    for (const pugi::xml_node student : conditions.children("Student")) {
        std::vector<std::string> values;
        for (const pugi::xml_node value : student.children("Value"))
            values.emplace_back(value.text().as_string());
        rules.SetConditions(student.attribute("id").as_string(), std::move(values));
    }
    return ReadResult::Loaded;
}
