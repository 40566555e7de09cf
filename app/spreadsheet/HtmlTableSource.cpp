#include "HtmlTableSource.h"

#include "FileUtil.h"
#include "TextCodec.h"
#include "XmlPullParser.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::size_t kMaxPage = 64u << 20;
constexpr int kMaxSpan = 256;
constexpr int kMaxColumns = 16384;

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The page as UTF-8: the declared character set decides, else the bytes.
std::string ToUtf8(const std::string& page)
{
    if (page.rfind("\xEF\xBB\xBF", 0) == 0)
        return page.substr(3);
    const std::string head = Lower(std::string_view(page).substr(0, 4096));
    const std::size_t charset = head.find("charset");
    if (charset != std::string::npos) {
        const std::string_view value = std::string_view(head).substr(charset + 7, 16);
        if (value.find("utf-8") != std::string_view::npos || value.find("utf8") != std::string_view::npos)
            return page;
        if (value.find("gb") != std::string_view::npos)
            return CTextCodec::FromGbk(page);
    }
    return CTextCodec::IsValidUtf8(page) ? page : CTextCodec::FromGbk(page);
}

// The name of the tag that starts at text[at] ("td", "/tr", ...), lower case.
std::string TagName(std::string_view tag)
{
    std::size_t end = 1;
    while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end])) && tag[end] != '>' &&
           !(tag[end] == '/' && end > 1))
        ++end;
    return Lower(tag.substr(1, end - 1));
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
    std::replace_if(plain.begin(), plain.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
    CXmlPullParser::AppendDecoded(out, plain);
}

} // namespace

bool CHtmlTableSource::Open(const std::string& path)
{
    const auto bytes = CFileUtil::ReadFile(path);
    if (!bytes)
        return Fail("无法读取文件。");
    if (bytes->size() > kMaxPage)
        return Fail("网页文件超过 64 MB，无法导入。");
    const std::string page = ToUtf8(*bytes);
    const std::string lowerPage = Lower(page);

    Row row;
    bool inRow = false;
    bool inCell = false;
    std::string text;
    int column = 0;
    int span = 1;
    auto endCell = [&]() {
        if (!inCell)
            return;
        if (!text.empty() && column < kMaxColumns) {
            CSheetCell cell;
            cell.kind = CSheetCell::Kind::Text;
            cell.text = std::move(text);
            row.cells.push_back({column, std::move(cell)});
        }
        text.clear();
        column += span;
        inCell = false;
    };
    auto endRow = [&]() {
        endCell();
        if (inRow && !row.cells.empty()) {
            row.row = static_cast<int>(m_rows.size());
            m_rows.push_back(std::move(row));
        }
        row = Row();
        inRow = false;
        column = 0;
    };

    std::size_t pos = 0;
    while (pos < page.size()) {
        const std::size_t open = page.find('<', pos);
        if (inCell)
            AppendHtmlText(text, std::string_view(page).substr(pos, open == std::string::npos ? page.npos : open - pos));
        if (open == std::string::npos)
            break;
        if (page.compare(open, 4, "<!--") == 0) {
            const std::size_t close = page.find("-->", open + 4);
            pos = close == std::string::npos ? page.size() : close + 3;
            continue;
        }
        const std::size_t close = page.find('>', open);
        if (close == std::string::npos)
            break;
        const std::string_view tag = std::string_view(page).substr(open, close - open + 1);
        const std::string name = TagName(tag);
        pos = close + 1;
        if (name == "script" || name == "style") {
            const std::size_t end = lowerPage.find("</" + name, pos);
            pos = end == std::string::npos ? page.size() : end;
        } else if (name == "tr") {
            endRow();
            inRow = true;
        } else if (name == "/tr" || name == "/table") {
            endRow();
        } else if (name == "td" || name == "th") {
            endCell();
            if (!inRow) {
                inRow = true;
                column = 0;
            }
            inCell = true;
            span = ColumnSpan(tag);
        } else if (name == "/td" || name == "/th") {
            endCell();
        } else if (inCell && (name == "br" || name == "br/" || name == "p" || name == "div")) {
            if (!text.empty())
                text += '\n';
        }
    }
    endRow();
    if (m_rows.empty())
        return Fail("这是一个网页文件，其中没有表格，无法导入。");
    return true;
}

std::vector<std::string> CHtmlTableSource::SheetNames() const
{
    return {"Sheet1"};
}

bool CHtmlTableSource::BeginSheet(std::size_t index)
{
    m_error.clear();
    m_next = 0;
    return index == 0 || Fail("工作簿中没有这个工作表。");
}

bool CHtmlTableSource::NextRow(Row& row)
{
    if (m_next >= m_rows.size())
        return false;
    row = m_rows[m_next++];
    return true;
}
