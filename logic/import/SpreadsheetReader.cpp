#include "logic/import/SpreadsheetReader.h"

#include "logic/import/CompoundFile.h"
#include "logic/import/CsvSource.h"
#include "base/util/FileUtil.h"
#include "logic/import/HtmlTableSource.h"
#include "logic/import/SheetLimits.h"
#include "logic/import/SheetRowStore.h"
#include "logic/import/SheetText.h"
#include "logic/import/XlsSource.h"
#include "logic/import/XlsxSource.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <new>

namespace {

// The header is looked for in the first row of the block and the nine
// rows below it.
constexpr int kHeaderRows = 10;

// The rows of the sheet are kept as they are scanned, up to this size, so
// that the records need no second reading; a larger sheet is read again.
constexpr std::size_t kKeptBytes = 64u << 20;

const char* kUnexpected = "读取文件时发生了意外的错误，无法导入。";

bool HasValue(const CSheetCell& cell)
{
    return cell.kind != CSheetCell::Kind::Empty
           && !(cell.kind == CSheetCell::Kind::Text && CSheetText::Trim(cell.text).empty());
}

// The first bytes of the file; false when it cannot be opened for reading.
bool Head(const std::string& path, std::string& head)
{
    std::ifstream in(CFileUtil::ToPath(path), std::ios::binary);
    if (!in.is_open())
        return false;
    head.assign(4096, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return true;
}

std::string LowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

} // namespace

const char* const CSpreadsheetReader::kParseFailure = "无法导入这个文件。";

// What the first pass over a worksheet finds.
struct CSpreadsheetReader::Scan
{
    int firstRow = -1;
    int lastRow = -1;
    int headerRow = -1;
    bool headerFound = false;
    int firstColumn = INT_MAX;
    int lastColumn = -1;
    // The first rows of the block with their column ranges, until the
    // header is known.
    struct Top
    {
        int row;
        int first;
        int last;
        bool header;
    };
    std::vector<Top> top;
    // Every row read, unless the sheet was too large to keep.
    CSheetRowStore kept;
    bool keptAll = true;
};

CSpreadsheetReader::CSpreadsheetReader() : m_keptBytes(kKeptBytes) {}

CSpreadsheetReader::~CSpreadsheetReader() = default;

bool CSpreadsheetReader::Fail(const std::string& reason)
{
    m_error = reason; // often the source's own message: copied before the source goes
    m_source.reset();
    m_kept.reset();
    return false;
}

std::string CSpreadsheetReader::GetFailureText() const
{
    return std::string(kParseFailure) + "\n原因：" + m_error;
}

void CSpreadsheetReader::Close()
{
    m_source.reset();
    m_kept.reset();
}

bool CSpreadsheetReader::OpenSource(const std::string& path)
{
    if (!CFileUtil::FileExists(path))
        return Fail("文件不存在。");
    // An unreadable file must not pass for an empty one.
    std::string head;
    if (!Head(path, head))
        return Fail("没有读取这个文件的权限，或文件正被其他程序占用。");
    if (head.empty())
        return Fail("文件是空的。");

    if (head.rfind("PK\x03\x04", 0) == 0 || head.rfind("PK\x05\x06", 0) == 0) {
        auto source = std::make_unique<CXlsxSource>();
        if (!source->Open(path))
            return Fail(source->GetError());
        m_source = std::move(source);
        return true;
    }
    if (CCompoundFile::HasSignature(head)) {
        CCompoundFile file;
        std::string error;
        if (!file.Open(path, error))
            return Fail(error);
        if (file.HasStream("EncryptedPackage") || file.HasStream("EncryptionInfo"))
            return Fail("工作簿设有打开密码（已加密），无法读取。请在表格软件中取消密码并保存后再导入。");
        std::string stream;
        const char* name = file.HasStream("Workbook") ? "Workbook" : "Book";
        if (!file.HasStream(name))
            return Fail("这是其他软件的文档（例如Word文档），不是Excel工作簿。");
        if (!file.ReadStream(name, stream, error))
            return Fail(error);
        auto source = std::make_unique<CXlsSource>();
        if (!source->Open(std::move(stream)))
            return Fail(source->GetError());
        m_source = std::move(source);
        return true;
    }

    std::string text = head.rfind("\xEF\xBB\xBF", 0) == 0 ? head.substr(3) : head;
    text.erase(0, text.find_first_not_of(" \t\r\n"));
    const std::string lower = LowerAscii(text);
    if (lower.starts_with("<")) {
        if (lower.find("urn:schemas-microsoft-com:office:spreadsheet") != std::string::npos)
            return Fail("这是Excel 2003 XML格式的表格，不能直接导入。请在表格软件中另存为 .xlsx 后再导入。");
        if (lower.find("<html") != std::string::npos || lower.find("<table") != std::string::npos
            || lower.find("<!doctype html") != std::string::npos) {
            auto source = std::make_unique<CHtmlTableSource>();
            if (!source->Open(path))
                return Fail(source->GetError());
            m_source = std::move(source);
            return true;
        }
        return Fail("这是一个XML或网页文件，不是表格。");
    }
    if (head.find('\0') != std::string::npos)
        return Fail("无法识别的文件格式：不是Excel工作簿，也不是CSV文件。");
    auto source = std::make_unique<CCsvSource>();
    if (!source->Open(path))
        return Fail(source->GetError());
    m_source = std::move(source);
    return true;
}

bool CSpreadsheetReader::IsHeaderRow(const CSheetSource::Row& row) const
{
    return std::any_of(row.cells.begin(), row.cells.end(), [this](const CSheetSource::Cell& cell) {
        return CSheetText::EqualsNoCase(CSheetText::HeaderKey(CSheetText::CellText(cell.value)), m_headerName);
    });
}

bool CSpreadsheetReader::ScanSheet(std::size_t index, bool giveUpWithoutHeader, Scan& scan)
{
    scan = Scan();
    if (!m_source->BeginSheet(index))
        return Fail(m_source->GetError());
    auto decideHeader = [&]() {
        if (scan.headerRow >= 0 || scan.top.empty())
            return;
        auto header = std::find_if(scan.top.begin(), scan.top.end(), [](const Scan::Top& top) { return top.header; });
        scan.headerFound = header != scan.top.end();
        scan.headerRow = scan.headerFound ? header->row : scan.top.front().row;
        for (const Scan::Top& top : scan.top) {
            if (top.row >= scan.headerRow) {
                scan.firstColumn = std::min(scan.firstColumn, top.first);
                scan.lastColumn = std::max(scan.lastColumn, top.last);
            }
        }
        scan.top.clear();
    };

    while (m_source->NextRow(m_row)) {
        int first = INT_MAX;
        int last = -1;
        for (const CSheetSource::Cell& cell : m_row.cells) {
            if (HasValue(cell.value)) {
                first = std::min(first, cell.column);
                last = std::max(last, cell.column);
            }
        }
        if (scan.keptAll) {
            scan.kept.Add(m_row);
            if (scan.kept.GetBytes() > m_keptBytes) {
                scan.kept.Clear();
                scan.keptAll = false;
            }
        }
        if (last < 0)
            continue;
        if (scan.firstRow < 0)
            scan.firstRow = m_row.row;
        scan.lastRow = std::max(scan.lastRow, m_row.row);
        if (scan.headerRow < 0 && m_row.row < scan.firstRow + kHeaderRows) {
            const bool header = m_headerName.empty() ? scan.top.empty() : IsHeaderRow(m_row);
            scan.top.push_back({m_row.row, first, last, header});
            continue;
        }
        decideHeader();
        if (!scan.headerFound && giveUpWithoutHeader)
            return true;
        if (m_row.row >= scan.headerRow) {
            scan.firstColumn = std::min(scan.firstColumn, first);
            scan.lastColumn = std::max(scan.lastColumn, last);
        }
    }
    if (!m_source->GetError().empty())
        return Fail(m_source->GetError());
    decideHeader();
    return true;
}

bool CSpreadsheetReader::Open(const std::string& path)
{
    // A file made to exhaust memory, or an error of the library, ends as a
    // failure with a reason, never as an exception in the caller.
    try {
        return OpenTable(path);
    } catch (const std::bad_alloc&) {
        return Fail(CSheetLimits::OutOfMemory());
    } catch (const std::exception&) {
        return Fail(kUnexpected);
    }
}

bool CSpreadsheetReader::ReadRecord(std::vector<std::string>& cells, int& position)
{
    try {
        return NextRecord(cells, position);
    } catch (const std::bad_alloc&) {
        return Fail(CSheetLimits::OutOfMemory());
    } catch (const std::exception&) {
        return Fail(kUnexpected);
    }
}

bool CSpreadsheetReader::OpenTable(const std::string& path)
{
    Close();
    m_error.clear();
    m_header.clear();
    m_headerFound = false;
    m_headerRow = 0;
    m_lastRow = -1;
    m_firstColumn = 0;
    m_rowCount = 0;
    m_columnCount = 0;
    if (!OpenSource(path))
        return false;

    const std::vector<std::string> names = m_source->SheetNames();
    if (names.empty())
        return Fail("工作簿中没有工作表。");
    Scan chosen;
    std::size_t sheet = 0;
    if (!ScanSheet(0, false, chosen))
        return false;
    if (!chosen.headerFound && !m_headerName.empty()) {
        for (std::size_t i = 1; i < names.size(); ++i) {
            Scan later;
            if (!ScanSheet(i, true, later))
                return false;
            if (later.headerFound) {
                chosen = std::move(later);
                sheet = i;
                break;
            }
        }
    }

    m_sheetName = names[sheet];
    m_headerFound = chosen.headerFound;
    if (chosen.firstRow < 0)
        return true; // an empty sheet: an empty header and no records
    m_headerRow = chosen.headerRow;
    m_lastRow = chosen.lastRow;
    m_firstColumn = chosen.firstColumn;
    m_rowCount = chosen.lastRow - chosen.headerRow + 1;
    m_columnCount = chosen.lastColumn - chosen.firstColumn + 1;

    if (chosen.keptAll) {
        // The records come from the rows kept; the file is done with.
        m_kept = std::make_unique<CSheetRowStore>(std::move(chosen.kept));
        m_source.reset();
        for (m_nextKept = 0; m_nextKept < m_kept->GetRowCount(); ++m_nextKept) {
            if (m_kept->Row(m_nextKept) < m_headerRow)
                continue;
            m_header.assign(static_cast<std::size_t>(m_columnCount), std::string());
            for (std::size_t c = m_kept->FirstCell(m_nextKept); c < m_kept->FirstCell(m_nextKept + 1); ++c) {
                const int column = m_kept->Column(c) - m_firstColumn;
                if (column >= 0 && column < m_columnCount)
                    m_header[static_cast<std::size_t>(column)] = m_kept->Text(c);
            }
            ++m_nextKept;
            return true;
        }
        return Fail("文件在读取过程中发生了变化。");
    }

    // Second pass: read down to the header row.
    if (!m_source->BeginSheet(sheet))
        return Fail(m_source->GetError());
    while (m_source->NextRow(m_row)) {
        if (m_row.row < m_headerRow)
            continue;
        m_header.assign(static_cast<std::size_t>(m_columnCount), std::string());
        for (const CSheetSource::Cell& cell : m_row.cells) {
            const int column = cell.column - m_firstColumn;
            if (column >= 0 && column < m_columnCount)
                m_header[static_cast<std::size_t>(column)] = CSheetText::CellText(cell.value);
        }
        return true;
    }
    return Fail(m_source->GetError().empty() ? "文件在读取过程中发生了变化。" : m_source->GetError());
}

bool CSpreadsheetReader::NextKeptRecord(std::vector<std::string>& cells, int& position)
{
    for (; m_nextKept < m_kept->GetRowCount(); ++m_nextKept) {
        const int row = m_kept->Row(m_nextKept);
        if (row <= m_headerRow || row > m_lastRow)
            continue;
        cells.assign(static_cast<std::size_t>(m_columnCount), std::string());
        bool any = false;
        for (std::size_t c = m_kept->FirstCell(m_nextKept); c < m_kept->FirstCell(m_nextKept + 1); ++c) {
            const int column = m_kept->Column(c) - m_firstColumn;
            if (column < 0 || column >= m_columnCount)
                continue;
            std::string& text = cells[static_cast<std::size_t>(column)];
            text = CSheetText::Trim(m_kept->Text(c));
            any = any || !text.empty();
        }
        if (!any)
            continue;
        position = row - m_headerRow + 1;
        ++m_nextKept;
        return true;
    }
    Close();
    return false;
}

bool CSpreadsheetReader::NextRecord(std::vector<std::string>& cells, int& position)
{
    if (m_kept)
        return NextKeptRecord(cells, position);
    if (!m_source)
        return false;
    while (m_source->NextRow(m_row)) {
        if (m_row.row <= m_headerRow || m_row.row > m_lastRow)
            continue;
        cells.assign(static_cast<std::size_t>(m_columnCount), std::string());
        bool any = false;
        for (CSheetSource::Cell& cell : m_row.cells) {
            const int column = cell.column - m_firstColumn;
            if (column < 0 || column >= m_columnCount)
                continue;
            std::string& text = cells[static_cast<std::size_t>(column)];
            text = CSheetText::Trim(CSheetText::CellText(cell.value));
            any = any || !text.empty();
        }
        if (!any)
            continue;
        position = m_row.row - m_headerRow + 1;
        return true;
    }
    if (!m_source->GetError().empty())
        return Fail(m_source->GetError());
    Close();
    return false;
}
