#pragma once

#include <cstddef>
#include <string>
#include <vector>

// An INI file as the task file and the settings file are kept: sections in
// square brackets, "key=value" lines, names compared without regard to
// letter case, GBK bytes on disk (or UTF-8 when the file starts with a
// UTF-8 byte-order mark, which is kept).
//
// The file is read once by Load; reads are answered from memory; Save
// writes the file once, safely, and only when a value changed. Lines the
// program did not change keep their bytes: comments, blank lines, the
// spacing of "key = value", the order of lines and their line ends. A
// changed value replaces only the value's bytes in its line; a new key
// goes after the last key of its section, a new section at the end, each
// with a CRLF line end. Of a key that appears twice, the first counts.
class CIniFile
{
public:
    CIniFile() = default;
    // Binds the object to a file; nothing is read until Load.
    explicit CIniFile(std::string path);

    // Reads the bound file. A missing file reads as an empty one; false when
    // the file exists but cannot be read (Save then refuses to write).
    bool Load();
    bool Load(const std::string& path);
    // Writes the file when a value changed since it was loaded or saved;
    // true when nothing needed writing or the file was written.
    bool Save();

    const std::string& GetPath() const { return m_path; }
    bool IsModified() const { return m_modified; }

    // The value, or def when the section or key is missing. At most
    // maxBytes bytes of the code page are returned, never cutting a
    // character in half.
    std::string GetString(const std::string& section, const std::string& key, const std::string& def,
                          std::size_t maxBytes = 259) const;
    // Decimal text to integer as the platform does it (leading number, else
    // 0); def when the key is missing or empty.
    int GetInt(const std::string& section, const std::string& key, int def) const;
    bool GetBool(const std::string& section, const std::string& key, bool def) const;

    // Line breaks in a value are stored escaped so that a value never spans
    // lines; GetString gives them back. False for an empty section or key.
    bool SetString(const std::string& section, const std::string& key, const std::string& value);
    bool SetInt(const std::string& section, const std::string& key, int value);
    bool SetBool(const std::string& section, const std::string& key, bool value);

    // One read or one write of a single key: load, get or set, save.
    static std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                                  const std::string& def, std::size_t maxBytes = 259);
    static int ReadInt(const std::string& path, const std::string& section, const std::string& key, int def);
    static bool ReadBool(const std::string& path, const std::string& section, const std::string& key, bool def);
    static bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                            const std::string& value);
    static bool WriteInt(const std::string& path, const std::string& section, const std::string& key, int value);
    static bool WriteBool(const std::string& path, const std::string& section, const std::string& key, bool value);

private:
    struct Line
    {
        std::string bytes; // as in the file, without the line end
        std::string end;   // "\r\n", "\n" or "" for a last line without one
        enum class Kind
        {
            Other,
            Section,
            Key
        } kind = Kind::Other;
        std::string name;           // section or key name, ASCII letters in lower case
        std::size_t valueBegin = 0; // for a key: the value's bytes, blanks
        std::size_t valueEnd = 0;   // around it excluded
    };

    void Parse(const std::string& text);
    // The first line holding the key of the section; npos when none does.
    std::size_t FindKey(const std::string& section, const std::string& key) const;
    std::string Decode(const std::string& bytes) const;
    std::string Encode(const std::string& text) const;

    std::string m_path;
    std::vector<Line> m_lines;
    bool m_utf8 = false; // the file began with a UTF-8 byte-order mark
    bool m_modified = false;
    bool m_unreadable = false;
};
