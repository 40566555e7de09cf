#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Pinyin of a name written in GB2312 Chinese characters, so that a record
// can be found by typing Latin letters: the full syllables (ZHANGSAN) or
// their initials (ZS). Works on GBK bytes; each Chinese character becomes one
// toneless upper-case syllable from a fixed table.
//
// A converter holds only its options and the table is static, so converters
// are cheap to make, and Transcribe may run on many names (or threads) at
// once.
class CPinyinConverter
{
public:
    // Syllable of a code that the table does not list.
    static constexpr std::string_view kUnknown = "?";

    // Keep only the first letter of each syllable.
    bool GetInitialsOnly() const { return m_initialsOnly; }
    void SetInitialsOnly(bool initialsOnly) { m_initialsOnly = initialsOnly; }
    // When off, the first letter of each syllable is written in lower case.
    bool GetUpperFirst() const { return m_upperFirst; }
    void SetUpperFirst(bool upperFirst) { m_upperFirst = upperFirst; }
    // When off, the letters after the first are written in lower case.
    bool GetUpperRest() const { return m_upperRest; }
    void SetUpperRest(bool upperRest) { m_upperRest = upperRest; }
    // When on, "'" follows every syllable and every single-byte character.
    bool GetSeparator() const { return m_separator; }
    void SetSeparator(bool separator) { m_separator = separator; }

    // The transcription of GBK text under the current options. Single-byte
    // characters are copied; a GB2312 character becomes its syllable; any
    // other Chinese character (GBK or GB18030 sequence) becomes "?"; a lead
    // byte with no valid trail byte is dropped.
    std::string Transcribe(std::string_view gbk) const;
    // As Transcribe, appending to out (no allocation when out has room).
    void AppendTranscription(std::string& out, std::string_view gbk) const;

    // How a name (UTF-8) sounds: its toneless syllables, each followed by
    // "'", so that names that sound the same have the same key. A name with
    // a character the table does not list sounds only like itself.
    static std::string SoundKey(const std::string& name);

    // Syllable of a GB2312 code (zone × 100 + position, 1601 to 8794),
    // "?" for any code the table does not list.
    static std::string_view GetSyllable(int code);

private:
    static constexpr int kFirstZone = 16;
    static constexpr int kLastZone = 87;
    static constexpr int kPositionsPerZone = 94;
    static constexpr std::uint16_t kNoSyllable = 0xFFFF;

    void AppendSyllable(std::string& out, std::string_view syllable) const;

    // The generated table (PinyinTable.cpp): the syllables, and for each
    // code from zone 16 position 1 on the index of its syllable.
    static const std::string_view s_syllables[];
    static const std::uint16_t s_syllableOfCode[(kLastZone - kFirstZone + 1) * kPositionsPerZone];

    bool m_initialsOnly = false;
    bool m_upperFirst = true;
    bool m_upperRest = true;
    bool m_separator = false;
};
