#include "IniFile.h"

#include "FileUtil.h"
#include "NumberText.h"
#include "TextCodec.h"

// Text is converted around the parser, which only sees UTF-8 bytes.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <optional>

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

void Configure(CSimpleIniA& ini)
{
    ini.SetUnicode(true);
    ini.SetMultiKey(false);
    ini.SetMultiLine(false);
    ini.SetQuotes(true);
    ini.SetSpaces(false);
}

// Loads the file into ini as UTF-8. False when the file cannot be read
// (a missing file is an empty one).
bool Load(const std::string& path, CSimpleIniA& ini)
{
    Configure(ini);
    if (!CFileUtil::FileExists(path))
        return !CFileUtil::FolderExists(path);
    const std::optional<std::string> bytes = CFileUtil::ReadFile(path);
    if (!bytes)
        return false;
    std::string text;
    if (bytes->compare(0, 3, kUtf8Bom) == 0)
        text = bytes->substr(3);
    else
        text = CTextCodec::FromGbk(*bytes);
    return ini.LoadData(text) >= 0;
}

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

std::optional<std::string> RawValue(const std::string& path, const std::string& section, const std::string& key)
{
    CSimpleIniA ini;
    if (!Load(path, ini))
        return std::nullopt;
    const char* value = ini.GetValue(section.c_str(), key.c_str(), nullptr);
    if (!value)
        return std::nullopt;
    return Unescape(value);
}

} // namespace

std::string CIniFile::ReadString(const std::string& path, const std::string& section, const std::string& key,
                                 const std::string& def, std::size_t maxBytes)
{
    const std::string value = RawValue(path, section, key).value_or(def);
    const std::string bytes = CTextCodec::ToGbk(value);
    if (bytes.size() <= maxBytes)
        return value;
    return CTextCodec::FromGbk(bytes.substr(0, CutLength(bytes, maxBytes)));
}

int CIniFile::ReadInt(const std::string& path, const std::string& section, const std::string& key, int def)
{
    const std::optional<std::string> value = RawValue(path, section, key);
    if (!value || value->empty())
        return def;
    return CNumberText::LeadingInt(*value);
}

bool CIniFile::ReadBool(const std::string& path, const std::string& section, const std::string& key, bool def)
{
    return ReadInt(path, section, key, def ? 1 : 0) != 0;
}

bool CIniFile::WriteString(const std::string& path, const std::string& section, const std::string& key,
                           const std::string& value)
{
    if (path.empty() || section.empty() || key.empty())
        return false;
    CSimpleIniA ini;
    if (!Load(path, ini))
        return false;
    std::string stored = Escape(value);
    // Readers take a pair of enclosing quotes off a value; a value that is
    // itself quoted gets another pair so that its own quotes survive.
    if (stored.size() >= 2 && (stored.front() == '"' || stored.front() == '\'')
        && stored.back() == stored.front())
        stored = '"' + stored + '"';
    if (ini.SetValue(section.c_str(), key.c_str(), stored.c_str()) < 0)
        return false;
    std::string text;
    if (ini.Save(text) < 0)
        return false;
    return CFileUtil::WriteFileAtomically(path, CTextCodec::ToGbk(text));
}

bool CIniFile::WriteInt(const std::string& path, const std::string& section, const std::string& key, int value)
{
    return WriteString(path, section, key, std::to_string(value));
}

bool CIniFile::WriteBool(const std::string& path, const std::string& section, const std::string& key, bool value)
{
    return WriteString(path, section, key, value ? "1" : "0");
}
