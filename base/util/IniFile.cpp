#include "base/util/IniFile.h"

#include "base/util/FileUtil.h"
#include "base/util/NumberText.h"
#include "base/util/TextCodec.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t";

// A value never spans lines. Values without a line break are stored as
// they are, so that everything the platform's own INI functions write
// (paths such as "D:\new\任务.qz" or "\\server\share" included) reads
// back unchanged. A value with a line break is stored behind a marker
// character, with "\n", "\r" and "\\" standing for line feed, carriage
// return and backslash; only marked values are unescaped.
constexpr char kEscapedMarker = '\x1e';

std::string Escape(const std::string& value)
{
    if (value.find_first_of("\r\n") == std::string::npos)
        return value;
    std::string out(1, kEscapedMarker);
    out.reserve(value.size() + 8);
    for (const char c : value) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

std::string Unescape(const std::string& stored)
{
    if (stored.empty() || stored.front() != kEscapedMarker)
        return stored;
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 1; i < stored.size(); ++i) {
        const char c = stored[i];
        const char next = i + 1 < stored.size() ? stored[i + 1] : '\0';
        if (c == '\\' && (next == 'n' || next == 'r' || next == '\\')) {
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// The longest prefix of GBK/GB18030 bytes of at most maxBytes bytes that
// does not end inside a character.
std::size_t CutLength(const std::string& bytes, std::size_t maxBytes)
{
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        std::size_t length = 1;
        if (lead >= 0x81 && lead <= 0xFE && pos + 1 < bytes.size()) {
            const auto second = static_cast<unsigned char>(bytes[pos + 1]);
            length = (second >= 0x30 && second <= 0x39) ? 4 : 2;
        }
        if (pos + length > maxBytes)
            break;
        pos += length;
    }
    return std::min(pos, bytes.size());
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

// The platform's readers take a pair of enclosing quotes off a value.
std::string Unquote(std::string value)
{
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The text stored for a value: escaped, and quoted where reading would
// otherwise take its own quotes or its blanks at the ends off.
std::string Stored(const std::string& value)
{
    std::string stored = Escape(value);
    const bool quoted = stored.size() >= 2 && IsQuote(stored.front()) && stored.back() == stored.front();
    const bool blanks = !stored.empty()
                        && (kBlanks.find(stored.front()) != std::string_view::npos
                            || kBlanks.find(stored.back()) != std::string_view::npos);
    if (quoted || blanks)
        stored = '"' + stored + '"';
    return stored;
}

} // namespace

CIniFile::CIniFile(std::string path) : m_path(std::move(path)) {}

bool CIniFile::Load(const std::string& path)
{
    m_path = path;
    return Load();
}

bool CIniFile::Load()
{
    m_lines.clear();
    m_utf8 = false;
    m_modified = false;
    m_unreadable = false;
    if (!CFileUtil::FileExists(m_path)) {
        m_unreadable = m_path.empty() || CFileUtil::FolderExists(m_path);
        return !m_unreadable;
    }
    const std::optional<std::string> bytes = CFileUtil::ReadFile(m_path);
    if (!bytes) {
        m_unreadable = true;
        return false;
    }
    m_utf8 = bytes->compare(0, 3, kUtf8Bom) == 0;
    Parse(m_utf8 ? bytes->substr(3) : *bytes);
    return true;
}

void CIniFile::Parse(const std::string& text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        Line line;
        if (end == std::string::npos) {
            line.bytes = text.substr(pos);
            pos = text.size();
        } else {
            const bool crlf = end > pos && text[end - 1] == '\r';
            line.bytes = text.substr(pos, end - pos - (crlf ? 1 : 0));
            line.end = crlf ? "\r\n" : "\n";
            pos = end + 1;
        }
        const std::string_view content = Trim(line.bytes);
        if (!content.empty() && content.front() == '[') {
            const std::size_t close = content.find(']');
            const std::string_view name = content.substr(1, close == std::string_view::npos ? close : close - 1);
            line.kind = Line::Kind::Section;
            line.name = Lower(Decode(std::string(Trim(name))));
        } else if (!content.empty() && content.front() != ';' && content.front() != '#') {
            const std::size_t equals = line.bytes.find('=');
            const std::string_view key =
                equals == std::string::npos ? std::string_view() : Trim(std::string_view(line.bytes).substr(0, equals));
            if (!key.empty()) {
                line.kind = Line::Kind::Key;
                line.name = Lower(Decode(std::string(key)));
                const std::string_view value = Trim(std::string_view(line.bytes).substr(equals + 1));
                line.valueBegin = value.empty() ? line.bytes.find_first_not_of(kBlanks, equals + 1)
                                                : static_cast<std::size_t>(value.data() - line.bytes.data());
                if (line.valueBegin == std::string::npos)
                    line.valueBegin = line.bytes.size();
                line.valueEnd = line.valueBegin + value.size();
            }
        }
        m_lines.push_back(std::move(line));
    }
}

std::string CIniFile::Decode(const std::string& bytes) const
{
    return m_utf8 ? CTextCodec::ToValidUtf8(bytes) : CTextCodec::FromGbk(bytes);
}

std::string CIniFile::Encode(const std::string& text) const
{
    return m_utf8 ? CTextCodec::ToValidUtf8(text) : CTextCodec::ToGbk(text);
}

std::size_t CIniFile::FindKey(const std::string& section, const std::string& key) const
{
    // As the platform does it: only the first section of that name counts.
    const std::string wantedSection = Lower(section);
    const std::string wantedKey = Lower(key);
    bool inSection = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Line::Kind::Section) {
            if (inSection)
                break;
            inSection = line.name == wantedSection;
        } else if (inSection && line.kind == Line::Kind::Key && line.name == wantedKey) {
            return i;
        }
    }
    return std::string::npos;
}

std::string CIniFile::GetString(const std::string& section, const std::string& key, const std::string& def,
                                std::size_t maxBytes) const
{
    const std::size_t found = FindKey(section, key);
    std::string value = def;
    if (found != std::string::npos) {
        const Line& line = m_lines[found];
        value = Unescape(Unquote(Decode(line.bytes.substr(line.valueBegin, line.valueEnd - line.valueBegin))));
    }
    const std::string bytes = CTextCodec::ToGbk(value);
    if (bytes.size() <= maxBytes)
        return value;
    return CTextCodec::FromGbk(bytes.substr(0, CutLength(bytes, maxBytes)));
}

int CIniFile::GetInt(const std::string& section, const std::string& key, int def) const
{
    if (FindKey(section, key) == std::string::npos)
        return def;
    const std::string value = GetString(section, key, "", std::string::npos);
    return value.empty() ? def : CNumberText::LeadingInt(value);
}

bool CIniFile::GetBool(const std::string& section, const std::string& key, bool def) const
{
    return GetInt(section, key, def ? 1 : 0) != 0;
}

bool CIniFile::SetString(const std::string& section, const std::string& key, const std::string& value)
{
    if (Trim(section).empty() || Trim(key).empty())
        return false;
    const std::string bytes = Encode(Stored(value));
    const std::size_t found = FindKey(section, key);
    if (found != std::string::npos) {
        Line& line = m_lines[found];
        if (line.bytes.compare(line.valueBegin, line.valueEnd - line.valueBegin, bytes) == 0)
            return true;
        line.bytes.replace(line.valueBegin, line.valueEnd - line.valueBegin, bytes);
        line.valueEnd = line.valueBegin + bytes.size();
        m_modified = true;
        return true;
    }

    Line added;
    added.kind = Line::Kind::Key;
    added.name = Lower(key);
    const std::string wantedSection = Lower(section);
    added.bytes = Encode(key) + "=" + bytes;
    added.end = "\r\n";
    added.valueBegin = added.bytes.size() - bytes.size();
    added.valueEnd = added.bytes.size();

    // After the last key of the section, or its header.
    std::size_t at = std::string::npos;
    bool inSection = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Line::Kind::Section) {
            if (inSection)
                break; // the first section of that name takes new keys
            inSection = line.name == wantedSection;
            if (inSection)
                at = i + 1;
        } else if (inSection && line.kind == Line::Kind::Key) {
            at = i + 1;
        }
    }
    std::vector<Line> lines;
    if (at == std::string::npos) {
        Line header;
        header.kind = Line::Kind::Section;
        header.name = wantedSection;
        header.bytes = "[" + Encode(section) + "]";
        header.end = "\r\n";
        lines.push_back(std::move(header));
        at = m_lines.size();
    }
    lines.push_back(std::move(added));
    // A last line without a line end gets one before anything follows it.
    if (at > 0 && m_lines[at - 1].end.empty())
        m_lines[at - 1].end = "\r\n";
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(lines.begin()),
                   std::make_move_iterator(lines.end()));
    m_modified = true;
    return true;
}

bool CIniFile::SetInt(const std::string& section, const std::string& key, int value)
{
    return SetString(section, key, std::to_string(value));
}

bool CIniFile::SetBool(const std::string& section, const std::string& key, bool value)
{
    return SetString(section, key, value ? "1" : "0");
}

bool CIniFile::Save()
{
    if (!m_modified)
        return true;
    if (m_unreadable)
        return false;
    std::string text = m_utf8 ? kUtf8Bom : "";
    for (const Line& line : m_lines)
        text += line.bytes + line.end;
    if (!CFileUtil::WriteFileAtomically(m_path, text))
        return false;
    m_modified = false;
    return true;
}

std::string CIniFile::ReadString(const std::string& path, const std::string& section, const std::string& key,
                                 const std::string& def, std::size_t maxBytes)
{
    CIniFile ini(path);
    ini.Load();
    return ini.GetString(section, key, def, maxBytes);
}

int CIniFile::ReadInt(const std::string& path, const std::string& section, const std::string& key, int def)
{
    CIniFile ini(path);
    ini.Load();
    return ini.GetInt(section, key, def);
}

bool CIniFile::ReadBool(const std::string& path, const std::string& section, const std::string& key, bool def)
{
    return ReadInt(path, section, key, def ? 1 : 0) != 0;
}

bool CIniFile::WriteString(const std::string& path, const std::string& section, const std::string& key,
                           const std::string& value)
{
    CIniFile ini(path);
    return ini.Load() && ini.SetString(section, key, value) && ini.Save();
}

bool CIniFile::WriteInt(const std::string& path, const std::string& section, const std::string& key, int value)
{
    return WriteString(path, section, key, std::to_string(value));
}

bool CIniFile::WriteBool(const std::string& path, const std::string& section, const std::string& key, bool value)
{
    return WriteString(path, section, key, value ? "1" : "0");
}
