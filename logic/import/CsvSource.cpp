#include "logic/import/CsvSource.h"

#include "base/util/FileUtil.h"
#include "logic/import/SheetLimits.h"
#include "base/util/TextCodec.h"

#include <algorithm>
#include <filesystem>

namespace {

constexpr std::size_t kChunk = 256u << 10;
const char* kBadText = "CSV文件的格式有误（引号不配对），无法导入。";

// Whether the bytes continue a valid UTF-8 text; pending carries the bytes
// of a character cut at the end of the previous chunk.
bool ContinuesUtf8(const char* data, std::size_t size, std::string& pending)
{
    const std::string bytes = pending + std::string(data, size);
    pending.clear();
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > bytes.size()) {
            pending = bytes.substr(i);
            return true;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF))
                return false;
        }
        i += length;
    }
    return true;
}

} // namespace

bool CCsvSource::Open(const std::string& path)
{
    m_path = path;
    std::ifstream in(CFileUtil::ToPath(path), std::ios::binary);
    if (!in)
        return Fail("无法读取文件。");
    // A small file gets a buffer of its own size.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(CFileUtil::ToPath(path), ec);
    m_chunk = ec ? kChunk : static_cast<std::size_t>(std::clamp<std::uintmax_t>(size, 1, kChunk));
    std::vector<char> chunk(m_chunk);
    std::string pending;
    bool first = true;
    m_utf8 = true;
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const std::size_t count = static_cast<std::size_t>(in.gcount());
        if (count == 0)
            break;
        std::size_t skip = 0;
        if (first) {
            const std::string head(chunk.data(), std::min<std::size_t>(count, 3));
            if (head == "\xEF\xBB\xBF") {
                skip = m_bomSize = 3;
            } else if (head.rfind("\xFF\xFE", 0) == 0 || head.rfind("\xFE\xFF", 0) == 0) {
                return Fail("不支持UTF-16编码的文本文件，请另存为UTF-8或ANSI编码的CSV文件后再导入。");
            }
            // The first line decides the separator.
            const std::string_view text(chunk.data() + skip, count - skip);
            const std::string_view line = text.substr(0, text.find('\n'));
            if (std::count(line.begin(), line.end(), '\t') > std::count(line.begin(), line.end(), ','))
                m_separator = '\t';
            first = false;
        }
        if (m_utf8 && !ContinuesUtf8(chunk.data() + skip, count - skip, pending))
            m_utf8 = m_bomSize > 0;
    }
    if (!pending.empty() && m_bomSize == 0)
        m_utf8 = false;
    return true;
}

std::vector<std::string> CCsvSource::SheetNames() const
{
    return {"Sheet1"};
}

bool CCsvSource::BeginSheet(std::size_t index)
{
    m_error.clear();
    m_in.close();
    m_in.clear();
    if (index != 0)
        return Fail("工作簿中没有这个工作表。");
    m_in.open(CFileUtil::ToPath(m_path), std::ios::binary);
    if (!m_in)
        return Fail("无法读取文件。");
    m_buffer.resize(m_chunk);
    m_pos = m_end = 0;
    m_record = 0;
    for (std::size_t i = 0; i < m_bomSize; ++i)
        Get();
    return true;
}

bool CCsvSource::Refill()
{
    if (!m_in)
        return false;
    m_in.read(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_pos = 0;
    m_end = static_cast<std::size_t>(m_in.gcount());
    return m_end > 0;
}

int CCsvSource::Get()
{
    if (m_pos == m_end && !Refill())
        return -1;
    return static_cast<unsigned char>(m_buffer[m_pos++]);
}

int CCsvSource::Peek()
{
    if (m_pos == m_end && !Refill())
        return -1;
    return static_cast<unsigned char>(m_buffer[m_pos]);
}

bool CCsvSource::ReadRecord()
{
    m_fields.clear();
    if (Peek() < 0)
        return false;
    // Every bound is checked as the bytes come, so a record never grows
    // past them, however long the line in the file.
    std::string field;
    std::size_t characters = 0;
    bool gbkTrail = false; // the next byte ends a two-byte GBK character
    std::size_t recordBytes = 0;
    bool quoted = false;
    auto append = [&](int c) {
        field += static_cast<char>(c);
        if (m_utf8) {
            characters += (c & 0xC0) != 0x80;
        } else if (gbkTrail) {
            gbkTrail = false;
        } else {
            ++characters;
            gbkTrail = c >= 0x81 && c <= 0xFE;
        }
        if (characters > CSheetLimits::kMaxCellCharacters)
            return Fail(CSheetLimits::CellTooLong(m_record));
        if (++recordBytes > CSheetLimits::kMaxRowBytes)
            return Fail(CSheetLimits::RowTooLong(m_record));
        return true;
    };
    for (;;) {
        const int c = Get();
        if (quoted) {
            if (c < 0)
                return Fail(kBadText);
            if (c == '"') {
                if (Peek() == '"') {
                    Get();
                    if (!append('"'))
                        return false;
                } else {
                    quoted = false;
                }
            } else if (!append(c)) {
                return false;
            }
        } else if (c == '"' && (field.empty() || field == "=")) {
            // ="085" keeps leading zeros in exports from many web systems.
            field.clear();
            characters = 0;
            quoted = true;
        } else if (c == m_separator || c == '\n' || c == '\r' || c < 0) {
            if (m_fields.size() >= static_cast<std::size_t>(CSheetLimits::kMaxColumns))
                return Fail(CSheetLimits::TooManyColumns(m_record));
            m_fields.push_back(std::move(field));
            field.clear();
            characters = 0;
            gbkTrail = false;
            if (c == '\r' && Peek() == '\n')
                Get();
            if (c != m_separator)
                return true;
        } else if (!append(c)) {
            return false;
        }
    }
}

bool CCsvSource::NextRow(Row& row)
{
    while (ReadRecord()) {
        row.row = m_record++;
        row.cells.clear();
        for (std::size_t i = 0; i < m_fields.size(); ++i) {
            if (m_fields[i].empty())
                continue;
            CSheetCell cell;
            cell.kind = CSheetCell::Kind::Text;
            cell.text = m_utf8 ? std::move(m_fields[i]) : CTextCodec::FromGbk(m_fields[i]);
            row.cells.push_back({static_cast<int>(i), std::move(cell)});
        }
        if (!row.cells.empty())
            return row.row < CSheetLimits::kMaxRows || Fail(CSheetLimits::TooManyRows());
    }
    return false;
}
