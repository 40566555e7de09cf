#include "logic/import/XlsxSource.h"

#include "logic/import/NumberFormat.h"
#include "logic/import/SheetLimits.h"
#include "logic/import/XmlPullParser.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

namespace {

constexpr int kMaxRows = CSheetLimits::kMaxRows;
constexpr int kMaxColumns = CSheetLimits::kMaxColumns;
// Written text of one cell before its "_xHHHH_" escapes are resolved: seven
// bytes a character at most.
constexpr std::size_t kMaxWrittenCell = CSheetLimits::kMaxCellCharacters * 8;

std::string_view LocalName(const char* name)
{
    const std::string_view view(name);
    const std::size_t colon = view.find(':');
    return colon == std::string_view::npos ? view : view.substr(colon + 1);
}

pugi::xml_node Child(pugi::xml_node node, std::string_view localName)
{
    for (pugi::xml_node child : node.children()) {
        if (LocalName(child.name()) == localName)
            return child;
    }
    return pugi::xml_node();
}

// The value of the attribute with this local name, whatever its prefix.
std::string_view AttributeValue(pugi::xml_node node, std::string_view localName)
{
    for (pugi::xml_attribute attribute : node.attributes()) {
        if (LocalName(attribute.name()) == localName)
            return attribute.value();
    }
    return std::string_view();
}

bool EndsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::string Folder(const std::string& part)
{
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// A relationship target made into a part name: relative to the folder of
// the source part unless it starts with "/"; "." and ".." resolved.
std::string ResolveTarget(const std::string& folder, std::string_view target)
{
    std::string path = target.starts_with('/') ? std::string(target.substr(1)) : folder + std::string(target);
    std::vector<std::string> segments;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find('/', begin);
        if (end == std::string::npos)
            end = path.size();
        const std::string segment = path.substr(begin, end - begin);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        begin = end + 1;
    }
    std::string joined;
    for (const std::string& segment : segments)
        joined += (joined.empty() ? "" : "/") + segment;
    return joined;
}

std::string RelationshipsOf(const std::string& part)
{
    const std::size_t slash = part.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
    return folder + "_rels/" + file + ".rels";
}

template <class T>
bool ParseNumber(std::string_view text, T& value)
{
    text = CSheetText::Trim(text);
    if (text.starts_with('+'))
        text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Resolves the "_xHHHH_" escapes with which workbooks store control
// characters ("_x000D_" is a carriage return).
void DecodeEscapes(std::string& text, std::size_t from)
{
    if (text.find("_x", from) == std::string::npos)
        return;
    std::string out = text.substr(0, from);
    for (std::size_t i = from; i < text.size();) {
        unsigned code = 0;
        if (text.compare(i, 2, "_x") == 0 && i + 7 <= text.size() && text[i + 6] == '_'
            && std::from_chars(text.data() + i + 2, text.data() + i + 6, code, 16).ptr == text.data() + i + 6) {
            std::string piece;
            CXmlPullParser::AppendDecoded(piece, "&#" + std::to_string(code == 0 ? 0xFFFD : code) + ";");
            out += piece.empty() ? text.substr(i, 7) : piece;
            i += 7;
        } else {
            out += text[i++];
        }
    }
    text.swap(out);
}

// Column (from 0) of a cell reference such as "AB12"; -1 when it has none.
int ColumnOf(std::string_view reference)
{
    int column = 0;
    std::size_t i = 0;
    for (; i < reference.size() && i < 4; ++i) {
        const char c = reference[i];
        if (c >= 'A' && c <= 'Z')
            column = column * 26 + (c - 'A' + 1);
        else if (c >= 'a' && c <= 'z')
            column = column * 26 + (c - 'a' + 1);
        else
            break;
    }
    return i == 0 ? -1 : column - 1;
}

const char* kBadSheet = "工作表的数据格式有误，文件可能已损坏。";
const char* kTruncatedSheet = "工作表的数据不完整，文件可能已损坏。";
const char* kOutOfRange = "工作表的单元格超出了Excel的行列范围，文件可能已损坏。";

} // namespace

CXlsxSource::CXlsxSource() = default;

CXlsxSource::CXlsxSource(const Limits& limits) : m_limits(limits) {}

CXlsxSource::~CXlsxSource() = default;

bool CXlsxSource::Open(const std::string& path)
{
    std::string error;
    if (!m_zip.Open(path, error))
        return Fail(error);
    return ReadWorkbook();
}

bool CXlsxSource::ReadWorkbook()
{
    std::string error;
    std::string bytes;
    auto parse = [&](const std::string& part, pugi::xml_document& document) {
        if (!m_zip.ReadMember(part, m_limits.smallPart, bytes, error))
            return Fail(error);
        if (!document.load_buffer(bytes.data(), bytes.size()))
            return Fail("工作簿的组成部分 " + part + " 格式有误，文件可能已损坏。");
        return true;
    };

    // The workbook part is named by the package relationships.
    std::string workbookPart = "xl/workbook.xml";
    if (m_zip.Has("_rels/.rels")) {
        pugi::xml_document rels;
        if (!parse("_rels/.rels", rels))
            return false;
        for (pugi::xml_node rel : Child(rels, "Relationships").children()) {
            if (EndsWith(AttributeValue(rel, "Type"), "/officeDocument")) {
                workbookPart = ResolveTarget(std::string(), AttributeValue(rel, "Target"));
                break;
            }
        }
    }
    if (!m_zip.Has(workbookPart)) {
        if (m_zip.Has("content.xml") || m_zip.Has("word/document.xml") || m_zip.Has("ppt/presentation.xml"))
            return Fail("这是其他软件的文档，不是Excel工作簿。请在表格软件中另存为 .xlsx 后再导入。");
        return Fail("压缩包中没有Excel工作簿，文件不是 .xlsx 工作簿，或已损坏。");
    }

    struct Relationship
    {
        std::string type;
        std::string target;
    };
    std::vector<std::pair<std::string, Relationship>> relationships;
    const std::string folder = Folder(workbookPart);
    const std::string relsPart = RelationshipsOf(workbookPart);
    if (m_zip.Has(relsPart)) {
        pugi::xml_document rels;
        if (!parse(relsPart, rels))
            return false;
        for (pugi::xml_node rel : Child(rels, "Relationships").children()) {
            relationships.push_back(
                {std::string(AttributeValue(rel, "Id")),
                 {std::string(AttributeValue(rel, "Type")), ResolveTarget(folder, AttributeValue(rel, "Target"))}});
        }
    }
    auto partOfType = [&](std::string_view type, const std::string& fallback) {
        for (const auto& [id, rel] : relationships) {
            if (EndsWith(rel.type, type))
                return rel.target;
        }
        return m_zip.Has(fallback) ? fallback : std::string();
    };

    pugi::xml_document workbook;
    if (!parse(workbookPart, workbook))
        return false;
    const pugi::xml_node root = Child(workbook, "workbook");
    const std::string_view date1904 = AttributeValue(Child(root, "workbookPr"), "date1904");
    m_date1904 = date1904 == "1" || date1904 == "true";
    for (pugi::xml_node sheet : Child(root, "sheets").children()) {
        if (LocalName(sheet.name()) != "sheet")
            continue;
        const std::string_view id = AttributeValue(sheet, "id");
        auto found = std::find_if(relationships.begin(), relationships.end(),
                                  [&](const auto& entry) { return entry.first == id; });
        // Chart sheets and macro sheets hold no table.
        if (found == relationships.end() || !EndsWith(found->second.type, "/worksheet"))
            continue;
        m_sheets.push_back({std::string(AttributeValue(sheet, "name")), found->second.target});
    }
    if (m_sheets.empty())
        return Fail("工作簿中没有工作表。");

    const std::string strings = partOfType("/sharedStrings", folder + "sharedStrings.xml");
    if (!strings.empty() && !ReadSharedStrings(strings))
        return false;
    const std::string styles = partOfType("/styles", folder + "styles.xml");
    return styles.empty() || ReadStyles(styles);
}

bool CXlsxSource::OpenStream(const std::string& part, std::uint64_t limit)
{
    m_parser.reset();
    std::string error;
    m_member = m_zip.OpenMember(part, limit, error);
    if (!m_member)
        return Fail(error);
    CZipArchive::CMember* member = m_member.get();
    m_parser = std::make_unique<CXmlPullParser>(
        [member](char* buffer, std::size_t size) { return member->Read(buffer, size); });
    return true;
}

bool CXlsxSource::StreamFailed()
{
    return Fail(m_member && !m_member->GetError().empty() ? m_member->GetError() : std::string(kBadSheet));
}

bool CXlsxSource::ReadPart(const std::string& part, std::uint64_t limit,
                           const std::function<bool(CXmlPullParser::Token)>& visit)
{
    if (!OpenStream(part, limit))
        return false;
    for (;;) {
        const CXmlPullParser::Token token = m_parser->Next();
        if (token == CXmlPullParser::Token::End)
            break;
        if (token == CXmlPullParser::Token::Error)
            return StreamFailed();
        if (!visit(token))
            return false;
    }
    m_parser.reset();
    m_member.reset();
    return true;
}

bool CXlsxSource::ReadSharedStrings(const std::string& part)
{
    using Token = CXmlPullParser::Token;
    bool inItem = false;
    bool inText = false;
    int phonetic = 0; // inside a reading guide, whose text is not the cell's
    std::size_t itemBegin = 0;
    return ReadPart(part, m_limits.sharedStrings, [&](Token token) {
        const std::string_view name = m_parser->Name();
        if (token == Token::StartElement) {
            if (name == "si") {
                inItem = true;
                itemBegin = m_stringData.size();
            } else if (name == "rPh") {
                ++phonetic;
            } else if (name == "t") {
                inText = inItem && phonetic == 0;
            }
        } else if (token == Token::EndElement) {
            if (name == "si" && inItem) {
                DecodeEscapes(m_stringData, itemBegin);
                m_stringEnds.push_back(m_stringData.size());
                inItem = false;
                if (m_stringData.size() + m_stringEnds.size() * sizeof(std::size_t) > m_limits.storedText)
                    return Fail("工作簿中的文字超过 " + std::to_string(m_limits.storedText >> 20) + " MB，无法导入。");
            } else if (name == "rPh") {
                phonetic = std::max(0, phonetic - 1);
            } else if (name == "t") {
                inText = false;
            }
        } else if (token == Token::Text && inText) {
            m_parser->AppendText(m_stringData);
        }
        return true;
    });
}

bool CXlsxSource::ReadStyles(const std::string& part)
{
    using Token = CXmlPullParser::Token;
    std::map<int, DateForm> custom;
    bool inCellFormats = false;
    return ReadPart(part, m_limits.smallPart, [&](Token token) {
        const std::string_view name = m_parser->Name();
        if (token == Token::EndElement && name == "cellXfs")
            inCellFormats = false;
        if (token != Token::StartElement)
            return true;
        if (name == "numFmt") {
            int id = 0;
            if (ParseNumber(m_parser->Attribute("numFmtId"), id)) {
                std::string code;
                CXmlPullParser::AppendDecoded(code, m_parser->Attribute("formatCode"));
                custom.emplace(id, CNumberFormat::Classify(code));
            }
        } else if (name == "cellXfs") {
            inCellFormats = true;
        } else if (name == "xf" && inCellFormats) {
            int id = 0;
            ParseNumber(m_parser->Attribute("numFmtId"), id);
            const auto own = custom.find(id);
            m_styleForms.push_back(own != custom.end() ? own->second : CNumberFormat::BuiltIn(id));
        }
        return true;
    });
}

std::vector<std::string> CXlsxSource::SheetNames() const
{
    std::vector<std::string> names;
    for (const Sheet& sheet : m_sheets)
        names.push_back(sheet.name);
    return names;
}

bool CXlsxSource::BeginSheet(std::size_t index)
{
    m_error.clear();
    m_inSheetData = false;
    m_sheetDone = false;
    m_lastRow = -1;
    if (index >= m_sheets.size())
        return Fail("工作簿中没有这个工作表。");
    return OpenStream(m_sheets[index].part, m_limits.sheet);
}

std::string_view CXlsxSource::SharedString(std::size_t index) const
{
    if (index >= m_stringEnds.size())
        return std::string_view();
    const std::size_t begin = index == 0 ? 0 : m_stringEnds[index - 1];
    return std::string_view(m_stringData).substr(begin, m_stringEnds[index] - begin);
}

bool CXlsxSource::NextRow(Row& row)
{
    if (!m_parser || m_sheetDone)
        return false;
    using Token = CXmlPullParser::Token;
    bool inRow = false;
    int nextColumn = 0;
    for (;;) {
        const Token token = m_parser->Next();
        if (token == Token::Error)
            return StreamFailed();
        if (token == Token::End) {
            m_sheetDone = true;
            return m_inSheetData ? Fail(kTruncatedSheet) : false;
        }
        if (token == Token::Text)
            continue;
        const std::string_view name = m_parser->Name();
        if (!m_inSheetData) {
            if (token == Token::StartElement && name == "sheetData")
                m_inSheetData = true;
            continue;
        }
        if (token == Token::EndElement) {
            if (name == "sheetData") {
                // What follows (merged cells, page set-up) is of no interest.
                m_sheetDone = true;
                m_parser.reset();
                m_member.reset();
                return false;
            }
            if (name == "row" && inRow) {
                inRow = false;
                m_lastRow = row.row;
                if (!row.cells.empty())
                    return true;
            }
            continue;
        }
        if (name == "row") {
            // Row numbers go from 1; any other number is refused before
            // arithmetic on it can overflow.
            int number = 0;
            if (ParseNumber(m_parser->Attribute("r"), number)) {
                if (number < 1 || number > kMaxRows)
                    return Fail(kOutOfRange);
                row.row = number - 1;
            } else {
                row.row = m_lastRow + 1;
                if (row.row >= kMaxRows)
                    return Fail(kOutOfRange);
            }
            row.cells.clear();
            m_rowBytes = 0;
            inRow = true;
            nextColumn = 0;
        } else if (name == "c" && inRow) {
            if (!ReadCell(row, nextColumn))
                return false;
        }
    }
}

bool CXlsxSource::ReadCell(Row& row, int& nextColumn)
{
    using Token = CXmlPullParser::Token;
    const int referenced = ColumnOf(m_parser->Attribute("r"));
    const int column = referenced >= 0 ? referenced : nextColumn;
    if (column >= kMaxColumns)
        return Fail(kOutOfRange);
    // The same column named again and again must not grow a row past a
    // sheet's width.
    if (row.cells.size() >= static_cast<std::size_t>(kMaxColumns))
        return Fail(CSheetLimits::TooManyColumns(row.row));
    nextColumn = column + 1;
    const std::string type(m_parser->Attribute("t"));
    const bool inlineText = type == "inlineStr";
    std::size_t style = 0;
    const bool styled = ParseNumber(m_parser->Attribute("s"), style);

    // The value: <v> for most types, <is><t> (runs joined) for inline text.
    m_value.clear();
    bool hasValue = false;
    bool inValue = false;
    int phonetic = 0;
    for (int depth = 1; depth > 0;) {
        const Token token = m_parser->Next();
        if (token == Token::Error)
            return StreamFailed();
        if (token == Token::End)
            return Fail(kTruncatedSheet);
        const std::string_view name = m_parser->Name();
        if (token == Token::StartElement) {
            ++depth;
            if (name == "rPh")
                ++phonetic;
            if (inlineText ? name == "t" && phonetic == 0 : name == "v") {
                inValue = true;
                hasValue = true;
            }
        } else if (token == Token::EndElement) {
            --depth;
            if (name == "rPh")
                phonetic = std::max(0, phonetic - 1);
            inValue = false;
        } else if (inValue) {
            m_parser->AppendText(m_value);
            if (m_value.size() > kMaxWrittenCell)
                return Fail(CSheetLimits::CellTooLong(row.row));
        }
    }
    if (!hasValue)
        return true; // a formatted cell without a value, or a formula never calculated

    CSheetCell cell;
    if (type == "s") {
        std::size_t index = 0;
        if (!ParseNumber(m_value, index))
            return true;
        const std::string_view text = SharedString(index);
        if (text.size() > CSheetLimits::kMaxCellBytes
            || CSheetLimits::CharacterCount(text) > CSheetLimits::kMaxCellCharacters)
            return Fail(CSheetLimits::CellTooLong(row.row));
        cell.kind = CSheetCell::Kind::Text;
        cell.text.assign(text);
    } else if (type == "str" || inlineText) {
        cell.kind = CSheetCell::Kind::Text;
        DecodeEscapes(m_value, 0);
        if (CSheetLimits::CharacterCount(m_value) > CSheetLimits::kMaxCellCharacters)
            return Fail(CSheetLimits::CellTooLong(row.row));
        cell.text = m_value;
    } else if (type == "b" || type == "e") {
        cell.kind = CSheetCell::Kind::Other;
    } else if (type == "d") {
        // An ISO 8601 date, perhaps with a time.
        const std::string_view iso = CSheetText::Trim(m_value);
        cell.kind = CSheetCell::Kind::Date;
        cell.text = std::string(iso.substr(0, 10));
        const std::size_t t = iso.find('T');
        if (t != std::string_view::npos && iso.size() >= t + 9 && iso.substr(t + 1, 8) != "00:00:00")
            cell.text += " " + std::string(iso.substr(t + 1, 8));
    } else {
        double number = 0.0;
        if (!ParseNumber(m_value, number) || !std::isfinite(number))
            return true;
        cell.kind = CSheetCell::Kind::Number;
        cell.number = number;
        if (styled && style < m_styleForms.size() && m_styleForms[style]
            && CSheetText::SerialToText(number, m_date1904, *m_styleForms[style], cell.text))
            cell.kind = CSheetCell::Kind::Date;
    }
    m_rowBytes += cell.text.size();
    if (m_rowBytes > CSheetLimits::kMaxRowBytes)
        return Fail(CSheetLimits::RowTooLong(row.row));
    row.cells.push_back({column, std::move(cell)});
    return true;
}
