#include "logic/import/BiffReader.h"

#include "logic/import/BiffCursor.h"
#include "logic/import/BiffStream.h"
#include "logic/import/NumberFormat.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

enum Record : std::uint16_t
{
    RecordFormula = 0x0006,
    RecordEof = 0x000A,
    RecordDateMode = 0x0022,
    RecordFilePass = 0x002F,
    RecordCodePage = 0x0042,
    RecordBoundSheet = 0x0085,
    RecordMulRk = 0x00BD,
    RecordRString = 0x00D6,
    RecordXf = 0x00E0,
    RecordSst = 0x00FC,
    RecordLabelSst = 0x00FD,
    RecordNumber = 0x0203,
    RecordLabel = 0x0204,
    RecordBoolErr = 0x0205,
    RecordString = 0x0207,
    RecordRk = 0x027E,
    RecordFormat = 0x041E,
    RecordBof = 0x0809,
};

// The last column a sheet of these versions has.
constexpr std::uint16_t kLastColumn = 255;

const char* const kTruncated = "文件已损坏：工作簿的数据被截断。";
const char* const kBadRecord = "文件已损坏：工作簿中有长度与内容不符的记录。";

double RkValue(std::uint32_t rk)
{
    double value = 0.0;
    if (rk & 0x02) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        // The upper 30 bits of a double whose other bits are zero.
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100.0 : value;
}

} // namespace

bool CBiffReader::Fail(std::string reason)
{
    m_error = std::move(reason);
    return false;
}

std::uint32_t CBiffReader::AddText(const std::string& text)
{
    m_textData += text;
    m_textEnds.push_back(m_textData.size());
    return static_cast<std::uint32_t>(m_textEnds.size() - 1);
}

std::string_view CBiffReader::Text(std::uint32_t index) const
{
    const std::size_t begin = index == 0 ? 0 : m_textEnds[index - 1];
    return std::string_view(m_textData).substr(begin, m_textEnds[index] - begin);
}

bool CBiffReader::ReadText(const std::vector<std::string_view>& pieces, std::string& text)
{
    CBiffCursor cursor(pieces);
    return m_version8 ? cursor.UnicodeString(text) : cursor.ByteString(text, m_codePage);
}

bool CBiffReader::Open(std::string stream)
{
    m_stream = std::move(stream);
    m_error.clear();
    m_sheets.clear();
    m_formatForms.clear();
    m_textData.clear();
    m_textEnds.clear();
    m_sharedCount = 0;

    CBiffStream records(m_stream);
    CBiffStream::Record record;
    if (!records.Next(record))
        return Fail(records.Damaged() ? kTruncated : "文件中没有工作簿数据。");
    const std::uint16_t version = record.data.size() >= 2
                                      ? static_cast<std::uint16_t>(static_cast<unsigned char>(record.data[0])
                                                                   | static_cast<unsigned char>(record.data[1]) << 8)
                                      : 0;
    if (record.type != RecordBof || (version != 0x0600 && version != 0x0500))
        return Fail("这是很早期版本的Excel工作簿，或文件已损坏；请在表格软件中另存为 .xlsx 后再导入。");
    m_version8 = version == 0x0600;

    std::vector<std::pair<std::uint16_t, std::optional<CSheetText::DateForm>>> custom;
    std::vector<std::uint16_t> formatIds;
    std::vector<std::string_view> sharedStrings;
    bool done = false;
    while (!done && records.Next(record)) {
        CBiffCursor cursor(record.data);
        switch (record.type) {
        case RecordFilePass:
            return Fail("工作簿设有打开密码（已加密），无法读取。请在表格软件中取消密码并保存后再导入。");
        case RecordEof:
        case RecordBof: // the first sheet, where the end of the globals is missing
            done = true;
            break;
        case RecordBoundSheet: {
            std::uint32_t offset = 0;
            std::uint8_t state = 0;
            std::uint8_t kind = 0;
            Sheet sheet;
            if (!cursor.U32(offset) || !cursor.U8(state) || !cursor.U8(kind))
                return Fail(kBadRecord);
            if (m_version8 ? !cursor.UnicodeString(sheet.name, true) : !cursor.ByteString(sheet.name, m_codePage, true))
                return Fail(kBadRecord);
            sheet.offset = offset;
            if (kind == 0) // charts and macro sheets hold no list
                m_sheets.push_back(std::move(sheet));
            break;
        }
        case RecordSst:
            if (m_version8 && sharedStrings.empty()) {
                sharedStrings.push_back(record.data);
                records.TakeContinues(sharedStrings);
            }
            break;
        case RecordCodePage: cursor.U16(m_codePage); break;
        case RecordDateMode: {
            std::uint16_t mode = 0;
            m_date1904 = cursor.U16(mode) && mode == 1;
            break;
        }
        case RecordFormat: {
            // A format code that cannot be read only costs the cells in it
            // their date form.
            std::uint16_t id = 0;
            std::string code;
            if (cursor.U16(id) && (m_version8 ? cursor.UnicodeString(code) : cursor.ByteString(code, m_codePage, true)))
                custom.emplace_back(id, CNumberFormat::Classify(code));
            break;
        }
        case RecordXf: {
            std::uint16_t id = 0;
            cursor.Skip(2);
            cursor.U16(id);
            formatIds.push_back(id);
            break;
        }
        default: break;
        }
    }
    if (records.Damaged())
        return Fail(kTruncated);

    for (std::uint16_t id : formatIds) {
        auto own = std::find_if(custom.rbegin(), custom.rend(), [id](const auto& entry) { return entry.first == id; });
        m_formatForms.push_back(own != custom.rend() ? own->second : CNumberFormat::BuiltIn(id));
    }
    if (!sharedStrings.empty() && !ReadSharedStrings(sharedStrings))
        return false;
    if (m_sheets.empty())
        return Fail("工作簿中没有工作表。");
    return true;
}

bool CBiffReader::ReadSharedStrings(const std::vector<std::string_view>& pieces)
{
    CBiffCursor cursor(pieces);
    std::uint32_t total = 0;
    std::uint32_t unique = 0;
    if (!cursor.U32(total) || !cursor.U32(unique))
        return Fail(kBadRecord);
    // The count is only believed as far as the strings are really there:
    // each takes at least three bytes.
    m_textEnds.reserve(std::min<std::size_t>(unique, cursor.Remaining() / 3));
    std::string text;
    for (std::uint32_t i = 0; i < unique && !cursor.AtEnd(); ++i) {
        if (!cursor.UnicodeString(text))
            return Fail("文件已损坏：工作簿的共享文字表无法读取。");
        AddText(text);
    }
    m_sharedCount = m_textEnds.size();
    return true;
}

bool CBiffReader::AddCell(std::vector<Cell>& cells, std::uint16_t row, std::uint16_t column, std::uint16_t format)
{
    if (column > kLastColumn)
        return false; // beyond the sheet: no cell of it
    Cell cell;
    cell.row = row;
    cell.column = column;
    cell.format = format;
    cells.push_back(cell);
    return true;
}

bool CBiffReader::ReadSheet(std::size_t index, std::vector<Cell>& cells)
{
    m_error.clear();
    cells.clear();
    m_textData.resize(m_sharedCount == 0 ? 0 : m_textEnds[m_sharedCount - 1]);
    m_textEnds.resize(m_sharedCount);
    if (index >= m_sheets.size())
        return Fail("工作簿中没有这个工作表。");

    CBiffStream records(m_stream, m_sheets[index].offset);
    CBiffStream::Record record;
    if (!records.Next(record) || record.type != RecordBof)
        return Fail("文件已损坏：找不到工作表“" + m_sheets[index].name + "”的数据。");

    // Charts may stand inside a sheet, each between its own beginning and
    // end; their records are not the sheet's.
    int depth = 1;
    // The cell of a formula whose text result follows in a record of its own.
    std::size_t pendingText = SIZE_MAX;
    std::uint16_t row = 0;
    std::uint16_t column = 0;
    std::uint16_t format = 0;
    CBiffCursor cursor{std::string_view()}; // one for every record
    while (depth > 0 && records.Next(record)) {
        if (record.type == RecordBof) {
            ++depth;
            continue;
        }
        if (record.type == RecordEof) {
            --depth;
            continue;
        }
        if (depth != 1)
            continue;
        cursor.Reset(record.data);
        const bool isCell = record.type == RecordNumber || record.type == RecordRk || record.type == RecordMulRk
                            || record.type == RecordLabelSst || record.type == RecordLabel
                            || record.type == RecordRString || record.type == RecordBoolErr
                            || record.type == RecordFormula;
        if (isCell) {
            pendingText = SIZE_MAX;
            if (!cursor.U16(row) || !cursor.U16(column))
                return Fail(kBadRecord);
        }
        switch (record.type) {
        case RecordNumber: {
            double value = 0.0;
            if (!cursor.U16(format) || !cursor.Double(value))
                return Fail(kBadRecord);
            if (AddCell(cells, row, column, format)) {
                cells.back().kind = Cell::Kind::Number;
                cells.back().number = value;
            }
            break;
        }
        case RecordRk: {
            std::uint32_t rk = 0;
            if (!cursor.U16(format) || !cursor.U32(rk))
                return Fail(kBadRecord);
            if (AddCell(cells, row, column, format)) {
                cells.back().kind = Cell::Kind::Number;
                cells.back().number = RkValue(rk);
            }
            break;
        }
        case RecordMulRk: {
            // Pairs of format and value, then the last column.
            const std::size_t count = record.data.size() >= 6 ? (record.data.size() - 6) / 6 : 0;
            if (count == 0)
                return Fail(kBadRecord);
            for (std::size_t i = 0; i < count; ++i) {
                std::uint32_t rk = 0;
                cursor.U16(format);
                cursor.U32(rk);
                if (column + i > kLastColumn)
                    break;
                if (AddCell(cells, row, static_cast<std::uint16_t>(column + i), format)) {
                    cells.back().kind = Cell::Kind::Number;
                    cells.back().number = RkValue(rk);
                }
            }
            break;
        }
        case RecordLabelSst: {
            std::uint32_t text = 0;
            if (!cursor.U16(format) || !cursor.U32(text))
                return Fail(kBadRecord);
            if (text >= m_sharedCount)
                return Fail("文件已损坏：单元格所引用的文字不在工作簿中。");
            if (AddCell(cells, row, column, format)) {
                cells.back().kind = Cell::Kind::Text;
                cells.back().text = text;
            }
            break;
        }
        case RecordLabel:
        case RecordRString: {
            std::vector<std::string_view> pieces{record.data.substr(std::min<std::size_t>(6, record.data.size()))};
            records.TakeContinues(pieces);
            std::string text;
            if (!cursor.U16(format) || !ReadText(pieces, text))
                return Fail(kBadRecord);
            if (AddCell(cells, row, column, format) && !text.empty()) {
                cells.back().kind = Cell::Kind::Text;
                cells.back().text = AddText(text);
            }
            break;
        }
        case RecordBoolErr:
            if (!cursor.U16(format) || !cursor.Skip(2))
                return Fail(kBadRecord);
            if (AddCell(cells, row, column, format))
                cells.back().kind = Cell::Kind::Other;
            break;
        case RecordFormula: {
            // The cached result: a number, or a marker in the top two bytes
            // with the kind of a result that is none.
            double value = 0.0;
            if (!cursor.U16(format) || !cursor.Double(value))
                return Fail(kBadRecord);
            const std::string_view result = record.data.substr(6, 8);
            const bool marked =
                static_cast<unsigned char>(result[6]) == 0xFF && static_cast<unsigned char>(result[7]) == 0xFF;
            if (!AddCell(cells, row, column, format))
                break;
            if (!marked) {
                cells.back().kind = Cell::Kind::Number;
                cells.back().number = value;
            } else if (result[0] == 0) {
                pendingText = cells.size() - 1;
            } else if (result[0] == 1 || result[0] == 2) {
                cells.back().kind = Cell::Kind::Other;
            }
            break;
        }
        case RecordString: {
            std::vector<std::string_view> pieces{record.data};
            records.TakeContinues(pieces);
            if (pendingText == SIZE_MAX)
                break;
            std::string text;
            if (!ReadText(pieces, text))
                return Fail(kBadRecord);
            if (!text.empty()) {
                cells[pendingText].kind = Cell::Kind::Text;
                cells[pendingText].text = AddText(text);
            }
            pendingText = SIZE_MAX;
            break;
        }
        default: break;
        }
    }
    if (records.Damaged())
        return Fail(kTruncated);

    // In row and column order; of a cell stored twice the later record
    // counts, and cells left without a value are dropped.
    const auto inOrder = [](const Cell& a, const Cell& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    };
    // Writers store the cells in order; only the others need sorting.
    if (!std::is_sorted(cells.begin(), cells.end(), inOrder))
        std::stable_sort(cells.begin(), cells.end(), inOrder);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (kept > 0 && cells[kept - 1].row == cells[i].row && cells[kept - 1].column == cells[i].column)
            cells[kept - 1] = cells[i];
        else
            cells[kept++] = cells[i];
    }
    cells.resize(kept);
    const auto empty = [](const Cell& cell) { return cell.kind == Cell::Kind::Empty; };
    cells.erase(std::remove_if(cells.begin(), cells.end(), empty), cells.end());
    return true;
}

CSheetCell CBiffReader::Value(const Cell& cell) const
{
    CSheetCell value;
    switch (cell.kind) {
    case Cell::Kind::Number:
        value.kind = CSheetCell::Kind::Number;
        value.number = cell.number;
        if (cell.format < m_formatForms.size() && m_formatForms[cell.format]
            && CSheetText::SerialToText(cell.number, m_date1904, *m_formatForms[cell.format], value.text))
            value.kind = CSheetCell::Kind::Date;
        break;
    case Cell::Kind::Text:
        value.kind = CSheetCell::Kind::Text;
        value.text = Text(cell.text);
        break;
    case Cell::Kind::Other: value.kind = CSheetCell::Kind::Other; break;
    case Cell::Kind::Empty: break;
    }
    return value;
}
