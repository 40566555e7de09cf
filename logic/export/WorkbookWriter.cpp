#include "logic/export/WorkbookWriter.h"

#include "base/util/FileUtil.h"

#include "logic/export/CellText.h"
#include "logic/export/SharedStrings.h"
#include "logic/export/SheetXmlWriter.h"
#include "logic/export/WorkbookStyles.h"
#include "logic/export/ZipPackageWriter.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <span>
#include <string_view>

namespace {

using Style = CWorkbookStyles::Style;

constexpr std::uint32_t kTitleRow = 1;
constexpr std::uint32_t kFirstDataRow = 3; // without notes
constexpr unsigned kFirstColumn = 1;
constexpr unsigned kLastSheetColumn = 16383;
constexpr std::size_t kMaxColumns = kLastSheetColumn; // column A is the margin
constexpr std::size_t kMaxRows = 1048576 - kFirstDataRow;
constexpr std::size_t kMaxCellCharacters = 32767;
constexpr double kTitleHeight = 32;
constexpr double kNoteHeight = 20;
constexpr double kRowHeight = 18;

bool FitsACell(const std::string& text)
{
    return text.size() <= kMaxCellCharacters || CCellText::Characters(text) <= kMaxCellCharacters;
}

// Numbers the styles in the order in which the sheet first uses them, the
// columns' style last; the columns stand before the rows in the file.
void NumberStyles(const CWorkbookWriter::Table& table, CWorkbookStyles& styles)
{
    styles.Index(Style::Title);
    if (!table.notes.empty())
        styles.Index(Style::Note);
    if (!table.columns.empty())
        styles.Index(Style::Header);
    bool data = false;
    bool number = false;
    for (std::size_t r = 0; r < table.rows.size() && !(data && number); ++r) {
        for (std::size_t c = 0; c < table.columns.size() && !(data && number); ++c) {
            const std::string& text = c < table.rows[r].size() ? table.rows[r][c] : std::string();
            const bool numeric = c < table.numeric.size() && table.numeric[c];
            if (!text.empty() && numeric && CWorkbookWriter::NumberOf(text)) {
                number = true;
                styles.Index(Style::Number);
            } else if (!data) {
                data = true;
                styles.Index(Style::Data);
            }
        }
    }
    if (!table.footnotes.empty())
        styles.Index(Style::Note);
    styles.Index(Style::Plain);
}

bool WriteSheet(CZipPackageWriter& zip, const CWorkbookWriter::Table& table, bool first, CSharedStrings& strings,
                CWorkbookStyles& styles)
{
    const std::size_t columns = table.columns.size();
    const double standard = columns == 0 ? 12.0 : static_cast<double>(65 / static_cast<int>(columns));
    NumberStyles(table, styles);
    const int plain = styles.Index(Style::Plain);
    const int title = styles.Index(Style::Title);

    // Column A is the margin; every column carries the plain style.
    std::vector<CSheetXmlWriter::Column> layout;
    layout.push_back({0, 0, 3, plain});
    for (std::size_t c = 0; c < columns; ++c) {
        const unsigned column = static_cast<unsigned>(kFirstColumn + c);
        layout.push_back({column, column, c < table.widths.size() ? table.widths[c] : standard, plain});
    }
    const unsigned after = static_cast<unsigned>(kFirstColumn + columns);
    if (after <= kLastSheetColumn)
        layout.push_back({after, kLastSheetColumn, standard, plain});

    // The last row's index.
    const std::uint32_t lastRow = static_cast<std::uint32_t>(kTitleRow + table.notes.size() + 1 + table.rows.size()
                                                             + table.footnotes.size());
    // The styled columns make the used range span the whole width.
    const std::string dimension =
        CSheetXmlWriter::Reference(0, kTitleRow) + ":" + CSheetXmlWriter::Reference(kLastSheetColumn, lastRow);

    CSheetXmlWriter sheet(strings, [&zip](std::string_view bytes) { return zip.Write(bytes); });
    sheet.Begin(dimension, first, layout);
    const unsigned last = static_cast<unsigned>(kFirstColumn + std::max<std::size_t>(columns, 1) - 1);
    std::vector<std::string> merges;
    // A line of text over the table's columns.
    const auto line = [&](std::uint32_t row, const std::string& text, int style, double height) {
        if (!FitsACell(text))
            return false;
        sheet.BeginRow(row, height);
        if (text.empty())
            sheet.Blank(kFirstColumn, style);
        else
            sheet.Text(kFirstColumn, text, style);
        for (unsigned column = kFirstColumn + 1; column <= last; ++column)
            sheet.Blank(column, style);
        sheet.EndRow();
        if (last > kFirstColumn)
            merges.push_back(CSheetXmlWriter::Reference(kFirstColumn, row) + ":"
                             + CSheetXmlWriter::Reference(last, row));
        return true;
    };
    std::uint32_t next = kTitleRow;
    bool ok = line(next++, table.title, title, kTitleHeight);
    for (const std::string& note : table.notes)
        ok = ok && line(next++, note, styles.Index(Style::Note), kNoteHeight);

    if (ok) {
        const int header = columns > 0 ? styles.Index(Style::Header) : 0;
        sheet.BeginRow(next++, kRowHeight);
        for (std::size_t c = 0; c < columns && ok; ++c) {
            const unsigned column = static_cast<unsigned>(kFirstColumn + c);
            ok = FitsACell(table.columns[c]);
            if (table.columns[c].empty())
                sheet.Blank(column, header);
            else
                sheet.Text(column, table.columns[c], header);
        }
        sheet.EndRow();
    }

    const std::string empty;
    int data = 0;
    int number = 0;
    for (std::size_t r = 0; r < table.rows.size() && ok; ++r) {
        sheet.BeginRow(next++, kRowHeight);
        const std::vector<std::string>& cells = table.rows[r];
        for (std::size_t c = 0; c < columns && ok; ++c) {
            const unsigned column = static_cast<unsigned>(kFirstColumn + c);
            const std::string& text = c < cells.size() ? cells[c] : empty;
            const bool numeric = c < table.numeric.size() && table.numeric[c];
            const std::optional<double> value =
                numeric && !text.empty() ? CWorkbookWriter::NumberOf(text) : std::nullopt;
            if (value) {
                if (number == 0)
                    number = styles.Index(Style::Number);
                sheet.Number(column, *value, number);
                continue;
            }
            if (data == 0)
                data = styles.Index(Style::Data);
            // An empty cell still gets its frame.
            if (text.empty()) {
                sheet.Blank(column, data);
            } else {
                ok = FitsACell(text);
                sheet.Text(column, text, data);
            }
        }
        sheet.EndRow();
    }
    for (const std::string& footnote : table.footnotes)
        ok = ok && line(next++, footnote, styles.Index(Style::Note), kNoteHeight);
    return sheet.End(merges) && ok;
}

// The sheet names of the tables, each given once.
std::vector<std::string> SheetNames(std::span<const CWorkbookWriter::Table> tables)
{
    std::vector<std::string> names;
    auto taken = [&names](const std::string& name) {
        const auto lower = [](std::string text) {
            for (char& c : text)
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
            return text;
        };
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& other) { return lower(other) == lower(name); });
    };
    for (const auto& table : tables) {
        const std::string base = table.sheetName.empty() ? table.title : table.sheetName;
        std::string name = CWorkbookWriter::SheetName(base);
        for (int n = 2; taken(name); ++n) {
            const std::string suffix = " (" + std::to_string(n) + ")";
            // Room for the suffix within the 31 characters of a name.
            std::string shorter = CWorkbookWriter::SheetName(base);
            while (!shorter.empty() && CWorkbookWriter::SheetName(shorter + suffix) != shorter + suffix) {
                std::size_t cut = shorter.size() - 1;
                while (cut > 0 && (static_cast<unsigned char>(shorter[cut]) & 0xC0) == 0x80)
                    --cut;
                shorter.erase(cut);
            }
            name = shorter + suffix;
        }
        names.push_back(name);
    }
    return names;
}

std::string Declaration()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
}

std::string Relationship(int id, const std::string& type, const std::string& target)
{
    return "<Relationship Id=\"rId" + std::to_string(id) + "\" Type=\"" + type + "\" Target=\"" + target + "\"/>";
}

std::string ContentTypes(std::size_t sheets)
{
    const std::string office = "application/vnd.openxmlformats-officedocument.";
    std::string xml = Declaration()
                      + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                        "<Override PartName=\"/docProps/app.xml\" ContentType=\""
                      + office + "extended-properties+xml\"/>"
                        "<Override PartName=\"/docProps/core.xml\" ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
                        "<Override PartName=\"/xl/styles.xml\" ContentType=\""
                      + office + "spreadsheetml.styles+xml\"/>"
                        "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\""
                      + office + "spreadsheetml.sharedStrings+xml\"/>"
                        "<Override PartName=\"/xl/workbook.xml\" ContentType=\""
                      + office + "spreadsheetml.sheet.main+xml\"/>";
    for (std::size_t n = 1; n <= sheets; ++n)
        xml += "<Override PartName=\"/xl/worksheets/sheet" + std::to_string(n) + ".xml\" ContentType=\"" + office
               + "spreadsheetml.worksheet+xml\"/>";
    return xml + "</Types>";
}

std::string PackageRelationships()
{
    const std::string officeDocument = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    return Declaration() + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           + Relationship(1, officeDocument + "officeDocument", "xl/workbook.xml")
           + Relationship(2, "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
                          "docProps/core.xml")
           + Relationship(3, officeDocument + "extended-properties", "docProps/app.xml") + "</Relationships>";
}

std::string CoreProperties()
{
    char stamp[32] = "1980-01-01T00:00:00Z";
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    if (gmtime_r(&now, &utc))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
    const std::string time = std::string("<dcterms:created xsi:type=\"dcterms:W3CDTF\">") + stamp
                             + "</dcterms:created><dcterms:modified xsi:type=\"dcterms:W3CDTF\">" + stamp
                             + "</dcterms:modified>";
    return Declaration()
           + "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
             "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
             "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
           + time + "</cp:coreProperties>";
}

std::string AppProperties()
{
    return Declaration()
           + "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
             "<Application>Quillon</Application><DocSecurity>0</DocSecurity><ScaleCrop>false</ScaleCrop>"
             "</Properties>";
}

std::string WorkbookXml(const std::vector<std::string>& names)
{
    std::string xml = Declaration()
                      + "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                        "<bookViews><workbookView xWindow=\"240\" yWindow=\"15\" windowWidth=\"16095\" "
                        "windowHeight=\"9660\"/></bookViews><sheets>";
    for (std::size_t n = 0; n < names.size(); ++n) {
        xml += "<sheet name=\"";
        CCellText::AppendEscaped(xml, names[n], true);
        xml += "\" sheetId=\"" + std::to_string(n + 1) + "\" r:id=\"rId" + std::to_string(n + 1) + "\"/>";
    }
    return xml + "</sheets><calcPr calcId=\"124519\" fullCalcOnLoad=\"1\"/></workbook>";
}

std::string WorkbookRelationships(std::size_t sheets)
{
    const std::string type = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    std::string xml =
        Declaration() + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    int id = 1;
    for (std::size_t n = 1; n <= sheets; ++n)
        xml += Relationship(id++, type + "worksheet", "worksheets/sheet" + std::to_string(n) + ".xml");
    xml += Relationship(id++, type + "styles", "styles.xml");
    xml += Relationship(id++, type + "sharedStrings", "sharedStrings.xml");
    return xml + "</Relationships>";
}

bool Write(const std::string& path, std::span<const CWorkbookWriter::Table> tables)
{
    CZipPackageWriter zip;
    if (tables.empty() || !zip.Open(path))
        return false;
    const std::vector<std::string> names = SheetNames(tables);
    // The parts that are known beforehand first, the sheets streamed, then
    // the texts and styles the sheets used.
    bool ok = zip.AddPart("[Content_Types].xml", ContentTypes(tables.size()))
              && zip.AddPart("_rels/.rels", PackageRelationships()) && zip.AddPart("docProps/app.xml", AppProperties())
              && zip.AddPart("docProps/core.xml", CoreProperties()) && zip.AddPart("xl/workbook.xml", WorkbookXml(names))
              && zip.AddPart("xl/_rels/workbook.xml.rels", WorkbookRelationships(tables.size()));
    CSharedStrings strings;
    CWorkbookStyles styles;
    for (std::size_t t = 0; t < tables.size() && ok; ++t)
        ok = zip.BeginPart("xl/worksheets/sheet" + std::to_string(t + 1) + ".xml")
             && WriteSheet(zip, tables[t], t == 0, strings, styles) && zip.EndPart();
    ok = ok && zip.AddPart("xl/sharedStrings.xml", strings.Xml())
         && zip.AddPart("xl/styles.xml", styles.Xml(tables.front().fontName));
    return zip.Close() && ok;
}

} // namespace

const char* const CWorkbookWriter::kExportFailure =
    "导出过程中出现异常。\n"
    "1 您要导出的EXCEL文件是否正处于打开状态？\n"
    "2 请检查您的基本数据（班级名、教师名、课程名）中是否包含某些不能正常导出的特殊符号。\n"
    "如果仍不能确定原因，请将任务文件夹打包发送给您的软件供应商的技术支持人员。";

std::optional<double> CWorkbookWriter::NumberOf(const std::string& text)
{
    const std::string_view digits = std::string_view(text).substr(!text.empty() && text[0] == '-' ? 1 : 0);
    const std::size_t point = digits.find('.');
    const std::string_view whole = digits.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
    const auto allDigits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || !allDigits(whole) || (whole.size() > 1 && whole[0] == '0'))
        return std::nullopt;
    if (point != std::string_view::npos && (fraction.empty() || !allDigits(fraction) || fraction.back() == '0'))
        return std::nullopt;
    if (whole.size() + fraction.size() > 15)
        return std::nullopt;
    double value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    // "-0" would show as 0.
    if (value == 0 && text[0] == '-')
        return std::nullopt;
    return value;
}

std::string CWorkbookWriter::SheetName(const std::string& title)
{
    std::string name;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < title.size() && characters < 31;) {
        const unsigned char c = static_cast<unsigned char>(title[i]);
        const std::size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        const std::string piece = title.substr(i, length);
        if (piece.size() == 1 && (std::string_view("[]:*?/\\").find(piece[0]) != std::string_view::npos || c < 0x20))
            name += '_';
        else
            name += piece;
        i += length;
        ++characters;
    }
    // A name may not start or end with an apostrophe.
    if (!name.empty() && name.front() == '\'')
        name.front() = '_';
    if (!name.empty() && name.back() == '\'')
        name.back() = '_';
    return name.empty() ? "Sheet1" : name;
}

namespace {

// ExportTables for tables lying anywhere, so that one table is not copied.
bool Export(const std::string& path, std::span<const CWorkbookWriter::Table> tables, std::string& error)
{
    using Table = CWorkbookWriter::Table;
    for (const Table& table : tables) {
        if (table.columns.size() > kMaxColumns
            || table.rows.size() + table.notes.size() + table.footnotes.size() > kMaxRows) {
            error = "表格超出了Excel工作表的行列范围，无法导出。";
            return false;
        }
    }
    if (tables.empty()) {
        error = "没有要导出的表格。";
        return false;
    }
    if (!CFileUtil::WriteFileThrough(path, [&tables](const std::string& temp) { return Write(temp, tables); })) {
        error = "无法写入文件：" + path;
        return false;
    }
    return true;
}

} // namespace

bool CWorkbookWriter::ExportTable(const std::string& path, const Table& table, std::string& error)
{
    return Export(path, {&table, 1}, error);
}

bool CWorkbookWriter::ExportTables(const std::string& path, const std::vector<Table>& tables, std::string& error)
{
    return Export(path, tables, error);
}
