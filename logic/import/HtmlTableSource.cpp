#include "logic/import/HtmlTableSource.h"

#include "base/util/FileUtil.h"
#include "logic/import/SheetLimits.h"
#include "base/util/TextCodec.h"
#include "logic/import/XmlPullParser.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

constexpr std::size_t kMaxPage = 64u << 20;
constexpr int kMaxSpan = 256;
constexpr int kMaxColumns = CSheetLimits::kMaxColumns;

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The page as UTF-8: the declared character set decides, else the bytes.
// Taken by value, so that a page already in UTF-8 is not held twice.
std::string ToUtf8(std::string page)
{
    if (page.rfind("\xEF\xBB\xBF", 0) == 0) {
        page.erase(0, 3);
        return page;
    }
    const std::string head = Lower(std::string_view(page).substr(0, 4096));
    const std::size_t charset = head.find("charset");
    if (charset != std::string::npos) {
        const std::string_view value = std::string_view(head).substr(charset + 7, 16);
        if (value.find("utf-8") != std::string_view::npos || value.find("utf8") != std::string_view::npos)
            return page;
        if (value.find("gb") != std::string_view::npos)
            return CTextCodec::FromGbk(page);
    }
    if (CTextCodec::IsValidUtf8(page))
        return page;
    return CTextCodec::FromGbk(page);
}

// The name of the tag that starts at text[at] ("td", "/tr", ...), lower case.
std::string TagName(std::string_view tag)
{
    std::size_t end = 1;
    while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end])) && tag[end] != '>'
           && !(tag[end] == '/' && end > 1))
        ++end;
    return Lower(tag.substr(1, end - 1));
}

// Where the element's end tag ("</script") starts at or after from, letter
// case aside; the end of the page when it has none.
std::size_t FindEndTag(const std::string& page, std::size_t from, const std::string& name)
{
    const std::string end = "</" + name;
    for (std::size_t at = page.find("</", from); at != std::string::npos; at = page.find("</", at + 2)) {
        if (Lower(std::string_view(page).substr(at, end.size())) == end)
            return at;
    }
    return page.size();
}

int ColumnSpan(std::string_view tag)
{
    const std::string lower = Lower(tag);
    const std::size_t at = lower.find("colspan");
    if (at == std::string::npos)
        return 1;
    std::size_t i = at + 7;
    while (i < lower.size() && !std::isdigit(static_cast<unsigned char>(lower[i])) && lower[i] != '>')
        ++i;
    int span = 0;
    while (i < lower.size() && std::isdigit(static_cast<unsigned char>(lower[i])) && span < kMaxSpan)
        span = span * 10 + (lower[i++] - '0');
    return std::clamp(span, 1, kMaxSpan);
}

void AppendHtmlText(std::string& out, std::string_view text)
{
    // &nbsp; is the one named entity beyond XML's that tables are full of.
    std::string plain;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("&nbsp;", from)) != std::string_view::npos; from = at + 6)
        plain.append(text.substr(from, at - from)).append("\xC2\xA0");
    plain.append(text.substr(from));
    // Line breaks in the source are layout, not content.
    std::replace_if(
        plain.begin(), plain.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
    CXmlPullParser::AppendDecoded(out, plain);
}

} // namespace

bool CHtmlTableSource::Open(const std::string& path)
{
    {
        auto bytes = CFileUtil::ReadFile(path);
        if (!bytes)
            return Fail("无法读取文件。");
        if (bytes->size() > kMaxPage)
            return Fail("网页文件超过 64 MB，无法导入。");
        m_page = ToUtf8(std::move(*bytes));
    }
    // A page without a single row is refused here, as no table at all.
    Row row;
    if (!BeginSheet(0))
        return false;
    if (!NextRow(row))
        return m_error.empty() ? Fail("这是一个网页文件，其中没有表格，无法导入。") : false;
    return BeginSheet(0);
}

std::vector<std::string> CHtmlTableSource::SheetNames() const
{
    return {"Sheet1"};
}

bool CHtmlTableSource::BeginSheet(std::size_t index)
{
    m_error.clear();
    m_pos = 0;
    m_pageDone = false;
    m_rowIndex = 0;
    m_row = Row();
    m_inRow = m_inCell = false;
    m_text.clear();
    m_textCharacters = m_rowBytes = 0;
    m_column = 0;
    m_span = 1;
    return index == 0 || Fail("工作簿中没有这个工作表。");
}

bool CHtmlTableSource::NextRow(Row& row)
{
    return m_error.empty() && !m_pageDone && ReadRow(row);
}

bool CHtmlTableSource::EndCell()
{
    if (!m_inCell)
        return true;
    m_inCell = false;
    if (!m_text.empty()) {
        if (m_column >= kMaxColumns)
            return Fail(CSheetLimits::TooManyColumns(m_rowIndex));
        CSheetCell cell;
        cell.kind = CSheetCell::Kind::Text;
        cell.text = std::move(m_text);
        m_row.cells.push_back({m_column, std::move(cell)});
    }
    m_text.clear();
    m_textCharacters = 0;
    m_column = std::min(m_column + m_span, kMaxColumns);
    return true;
}

bool CHtmlTableSource::EndRow(Row& row, bool& ready)
{
    ready = false;
    if (!EndCell())
        return false;
    if (m_inRow && !m_row.cells.empty()) {
        if (m_rowIndex >= CSheetLimits::kMaxRows)
            return Fail(CSheetLimits::TooManyRows());
        m_row.row = m_rowIndex++;
        row = std::move(m_row);
        ready = true;
    }
    m_row = Row();
    m_inRow = false;
    m_column = 0;
    m_rowBytes = 0;
    return true;
}

bool CHtmlTableSource::ReadRow(Row& row)
{
    bool ready = false;
    while (!ready && m_pos < m_page.size()) {
        const std::size_t open = m_page.find('<', m_pos);
        if (m_inCell) {
            const std::size_t before = m_text.size();
            AppendHtmlText(
                m_text, std::string_view(m_page).substr(m_pos, open == std::string::npos ? m_page.npos : open - m_pos));
            const std::string_view added = std::string_view(m_text).substr(before);
            m_textCharacters += CSheetLimits::CharacterCount(added);
            m_rowBytes += added.size();
            if (m_textCharacters > CSheetLimits::kMaxCellCharacters)
                return Fail(CSheetLimits::CellTooLong(m_rowIndex));
            if (m_rowBytes > CSheetLimits::kMaxRowBytes)
                return Fail(CSheetLimits::RowTooLong(m_rowIndex));
        }
        if (open == std::string::npos) {
            m_pos = m_page.size();
            break;
        }
        if (m_page.compare(open, 4, "<!--") == 0) {
            const std::size_t close = m_page.find("-->", open + 4);
            m_pos = close == std::string::npos ? m_page.size() : close + 3;
            continue;
        }
        const std::size_t close = m_page.find('>', open);
        if (close == std::string::npos) {
            m_pos = m_page.size();
            break;
        }
        const std::string_view tag = std::string_view(m_page).substr(open, close - open + 1);
        const std::string name = TagName(tag);
        m_pos = close + 1;
        if (name == "script" || name == "style") {
            m_pos = FindEndTag(m_page, m_pos, name);
        } else if (name == "tr") {
            if (!EndRow(row, ready))
                return false;
            m_inRow = true;
        } else if (name == "/tr" || name == "/table") {
            if (!EndRow(row, ready))
                return false;
        } else if (name == "td" || name == "th") {
            if (!EndCell())
                return false;
            if (!m_inRow) {
                m_inRow = true;
                m_column = 0;
            }
            m_inCell = true;
            m_span = ColumnSpan(tag);
        } else if (name == "/td" || name == "/th") {
            if (!EndCell())
                return false;
        } else if (m_inCell && (name == "br" || name == "br/" || name == "p" || name == "div")) {
            if (!m_text.empty()) {
                m_text += '\n';
                if (++m_textCharacters > CSheetLimits::kMaxCellCharacters)
                    return Fail(CSheetLimits::CellTooLong(m_rowIndex));
                ++m_rowBytes;
            }
        }
    }
    if (!ready && m_pos >= m_page.size()) {
        m_pageDone = true;
        if (!EndRow(row, ready))
            return false;
    }
    return ready;
}
