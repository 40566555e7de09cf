#include "XlsSource.h"

#include "CompoundFile.h"
#include "FileUtil.h"

#include <freexl.h>

#include <algorithm>
#include <filesystem>
#include <random>

namespace {

enum Record : std::uint16_t
{
    RecordFormula = 0x0006,
    RecordEof = 0x000A,
    RecordFilePass = 0x002F,
    RecordMulRk = 0x00BD,
    RecordMulBlank = 0x00BE,
    RecordRString = 0x00D6,
    RecordLabelSst = 0x00FD,
    RecordDimension = 0x0200,
    RecordBlank = 0x0201,
    RecordNumber = 0x0203,
    RecordLabel = 0x0204,
    RecordBoolErr = 0x0205,
    RecordRk = 0x027E,
    RecordBof = 0x0809,
};

// Memory the legacy reader may spend on the cells of all sheets.
constexpr double kMaxCellBytes = 128.0 * 1024 * 1024;
constexpr double kCellBytes = 16.0;

std::uint16_t U16(const std::string& data, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(data[at]) |
                                      (static_cast<unsigned char>(data[at + 1]) << 8));
}

void PutU16(std::string& data, std::size_t at, std::uint32_t value)
{
    data[at] = static_cast<char>(value & 0xFF);
    data[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void PutU32(std::string& data, std::size_t at, std::uint32_t value)
{
    PutU16(data, at, value & 0xFFFF);
    PutU16(data, at + 2, value >> 16);
}

bool IsCellRecord(std::uint16_t type)
{
    switch (type) {
    case RecordFormula: case RecordMulRk: case RecordMulBlank: case RecordRString: case RecordLabelSst:
    case RecordBlank: case RecordNumber: case RecordLabel: case RecordBoolErr: case RecordRk:
        return true;
    default:
        return false;
    }
}

std::string TemporaryCopyPath()
{
    std::random_device device;
    const std::string name = "quillon-import-" + std::to_string(device()) + std::to_string(device()) + ".xls";
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    return CFileUtil::FromPath((ec ? std::filesystem::path(".") : folder) / name);
}

std::string ReasonOf(int code)
{
    switch (code) {
    case FREEXL_INSUFFICIENT_MEMORY:
        return "工作簿过大，内存不足，无法读取。";
    case FREEXL_BIFF_INVALID_BOF:
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return "文件不是能读取的Excel工作簿（版本不受支持，或已损坏）。";
    case FREEXL_INVALID_CHARACTER:
    case FREEXL_UNSUPPORTED_CHARSET:
        return "工作簿中的文字编码无法识别。";
    default:
        return "文件已损坏：工作簿的数据无法读取。";
    }
}

} // namespace

CXlsSource::~CXlsSource()
{
    if (m_handle)
        freexl_close(m_handle);
    if (!m_copyPath.empty()) {
        std::error_code ec;
        std::filesystem::remove(CFileUtil::ToPath(m_copyPath), ec);
    }
}

bool CXlsSource::RepairStream(std::string& stream)
{
    struct Substream
    {
        std::size_t dimension = std::string::npos; // offset of the record's data
        std::size_t dimensionSize = 0;
        int maxRow = -1;
        int maxColumn = -1;
    };
    std::vector<Substream> done;
    std::vector<Substream> open; // a chart's substream may stand inside a sheet's
    bool first = true;
    std::size_t pos = 0;
    while (pos + 4 <= stream.size()) {
        const std::uint16_t type = U16(stream, pos);
        const std::uint16_t size = U16(stream, pos + 2);
        const std::size_t data = pos + 4;
        if (type == 0 && size == 0)
            break; // padding after the last record
        if (data + size > stream.size() || size > 8224)
            return Fail("文件已损坏：工作簿的数据被截断。");
        if (first) {
            const std::uint16_t version = size >= 2 ? U16(stream, data) : 0;
            if (type != RecordBof || (version != 0x0600 && version != 0x0500))
                return Fail("这是很早期版本的Excel工作簿，或文件已损坏；请在表格软件中另存为 .xlsx 后再导入。");
            first = false;
        }
        if (type == RecordFilePass)
            return Fail("工作簿设有打开密码（已加密），无法读取。请在表格软件中取消密码并保存后再导入。");
        if (type == RecordBof) {
            open.emplace_back();
        } else if (open.empty()) {
            // Records between substreams carry nothing of ours.
        } else if (type == RecordEof) {
            done.push_back(open.back());
            open.pop_back();
        } else if (type == RecordDimension && (size == 14 || size == 10)) {
            open.back().dimension = data;
            open.back().dimensionSize = size;
        } else if (IsCellRecord(type) && size >= 4) {
            // The legacy reader gives up on a text cell of no characters
            // (some writers store them); such a cell is blank.
            if (type == RecordLabel && size >= 8 && U16(stream, data + 6) == 0)
                PutU16(stream, pos, RecordBlank);
            Substream& current = open.back();
            current.maxRow = std::max<int>(current.maxRow, U16(stream, data));
            int column = U16(stream, data + 2);
            if ((type == RecordMulRk || type == RecordMulBlank) && size >= 6)
                column = std::max<int>(column, U16(stream, data + size - 2));
            current.maxColumn = std::max(current.maxColumn, std::min(column, 255));
        }
        pos = data + size;
    }
    if (first)
        return Fail("文件中没有工作簿数据。");

    double cells = 0;
    for (const Substream& sheet : done) {
        if (sheet.dimension == std::string::npos)
            continue;
        const std::uint32_t rows = static_cast<std::uint32_t>(std::max(sheet.maxRow, 0)) + 1;
        const std::uint32_t columns = static_cast<std::uint32_t>(std::max(sheet.maxColumn, 0)) + 1;
        cells += static_cast<double>(rows) * columns;
        if (sheet.dimensionSize == 14) {
            PutU32(stream, sheet.dimension, 0);
            PutU32(stream, sheet.dimension + 4, rows);
            PutU16(stream, sheet.dimension + 8, 0);
            PutU16(stream, sheet.dimension + 10, columns);
        } else {
            PutU16(stream, sheet.dimension, 0);
            PutU16(stream, sheet.dimension + 2, rows);
            PutU16(stream, sheet.dimension + 4, 0);
            PutU16(stream, sheet.dimension + 6, columns);
        }
    }
    if (cells * kCellBytes > kMaxCellBytes)
        return Fail("工作表的行列范围过大（单元格分布过于分散），无法读取。请删除多余的行列后再导入。");
    return true;
}

bool CXlsSource::Open(std::string stream)
{
    if (!RepairStream(stream))
        return false;
    m_copyPath = TemporaryCopyPath();
    if (!CCompoundFile::WriteSingleStream(m_copyPath, "Workbook", stream))
        return Fail("无法写入临时文件，不能读取工作簿。");
    std::string().swap(stream);

    const int result = freexl_open(m_copyPath.c_str(), &m_handle);
    if (result != FREEXL_OK || !m_handle) {
        m_handle = nullptr;
        return Fail(ReasonOf(result));
    }
    unsigned int count = 0;
    if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK || count == 0)
        return Fail("工作簿中没有工作表。");
    for (unsigned short i = 0; i < count; ++i) {
        const char* name = nullptr;
        freexl_get_worksheet_name(m_handle, i, &name);
        m_names.emplace_back(name ? name : "");
    }
    return true;
}

std::vector<std::string> CXlsSource::SheetNames() const
{
    return m_names;
}

bool CXlsSource::BeginSheet(std::size_t index)
{
    m_error.clear();
    m_rows = 0;
    m_columns = 0;
    m_nextRow = 0;
    if (!m_handle || index >= m_names.size())
        return Fail("工作簿中没有这个工作表。");
    if (freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index)) != FREEXL_OK ||
        freexl_worksheet_dimensions(m_handle, &m_rows, &m_columns) != FREEXL_OK)
        return Fail("文件已损坏：工作表无法读取。");
    return true;
}

bool CXlsSource::NextRow(Row& row)
{
    while (m_nextRow < m_rows) {
        const unsigned r = m_nextRow++;
        row.row = static_cast<int>(r);
        row.cells.clear();
        for (unsigned short c = 0; c < m_columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(m_handle, r, c, &value) != FREEXL_OK)
                continue;
            CSheetCell cell;
            switch (value.type) {
            case FREEXL_CELL_INT:
                cell.kind = CSheetCell::Kind::Number;
                cell.number = value.value.int_value;
                break;
            case FREEXL_CELL_DOUBLE:
                cell.kind = CSheetCell::Kind::Number;
                cell.number = value.value.double_value;
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                cell.kind = CSheetCell::Kind::Text;
                cell.text = value.value.text_value ? value.value.text_value : "";
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                cell.kind = CSheetCell::Kind::Date;
                cell.text = value.value.text_value ? value.value.text_value : "";
                break;
            default:
                continue;
            }
            row.cells.push_back({c, std::move(cell)});
        }
        if (!row.cells.empty())
            return true;
    }
    return false;
}
