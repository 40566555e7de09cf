#include "logic/pinyin/PinyinConverter.h"
#include "TestSupport.h"
#include "base/util/TextCodec.h"

#include <gtest/gtest.h>

#include <iconv.h>
#include <optional>
#include <regex>
#include <tuple>

namespace {

using testsupport::Gbk;

// The character at a GB2312 code, decoded without the table under test;
// nothing where GB2312 has none.
std::optional<std::string> Gb2312Character(int code)
{
    char bytes[2] = {static_cast<char>(code / 100 + 0xA0), static_cast<char>(code % 100 + 0xA0)};
    char utf8[8];
    iconv_t cd = iconv_open("UTF-8", "GB2312");
    char* in = bytes;
    std::size_t inLeft = 2;
    char* out = utf8;
    std::size_t outLeft = sizeof utf8;
    const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1))
        return std::nullopt;
    return std::string(utf8, sizeof utf8 - outLeft);
}

// GB2312 orders the first-level characters by pronunciation and puts Ü
// right after U: LU, LV, LUAN.
std::tuple<std::string, std::string> OrderKey(std::string syllable)
{
    std::string primary = syllable;
    for (char& c : primary)
        if (c == 'V')
            c = 'U';
    return {primary, syllable};
}

std::string Transcribe(const std::string& utf8, bool initialsOnly = false)
{
    CPinyinConverter converter;
    converter.SetInitialsOnly(initialsOnly);
    return converter.Transcribe(Gbk(utf8));
}

TEST(PinyinTableTest, FirstLevelRangesStartAndEndAsGb2312Orders)
{
    struct Range
    {
        int first;
        int last;
        const char* syllable;
    };
    const Range ranges[] = {{1601, 1602, "A"},    {1603, 1615, "AI"},  {1616, 1624, "AN"},   {1625, 1627, "ANG"},
                            {1628, 1636, "AO"},   {1637, 1654, "BA"},  {1655, 1662, "BAI"},  {1663, 1677, "BAN"},
                            {1678, 1689, "BANG"}, {1690, 1712, "BAO"}, {5574, 5575, "ZUAN"}, {5576, 5579, "ZUI"},
                            {5580, 5581, "ZUN"},  {5582, 5589, "ZUO"}};
    for (const Range& range : ranges) {
        for (int code = range.first; code <= range.last; ++code) {
            if (code % 100 >= 1 && code % 100 <= 94) { // a range may go on in the next zone
                EXPECT_EQ(CPinyinConverter::GetSyllable(code), std::string(range.syllable)) << code;
            }
        }
        // Exactly this range: the codes around it read otherwise.
        EXPECT_NE(CPinyinConverter::GetSyllable(range.first - 1), range.syllable) << range.first - 1;
        EXPECT_NE(CPinyinConverter::GetSyllable(range.last + 1), range.syllable) << range.last + 1;
    }
    EXPECT_EQ(CPinyinConverter::GetSyllable(1713), "BEI");
    EXPECT_EQ(CPinyinConverter::GetSyllable(5590), "?");
}

TEST(PinyinTableTest, EveryGb2312CharacterHasOneSyllableInPronunciationOrder)
{
    const std::regex syllable("[A-Z]+");
    int characters = 0;
    std::string previous;
    int previousCode = 0;
    for (int zone = 16; zone <= 87; ++zone) {
        for (int position = 1; position <= 94; ++position) {
            const int code = zone * 100 + position;
            const std::string text(CPinyinConverter::GetSyllable(code));
            if (!Gb2312Character(code)) {
                EXPECT_EQ(text, "?") << code;
                continue;
            }
            ++characters;
            EXPECT_TRUE(std::regex_match(text, syllable)) << code << " " << text;
            if (zone <= 55) {
                EXPECT_LE(OrderKey(previous), OrderKey(text))
                    << previousCode << " " << previous << " before " << code << " " << text;
                previous = text;
                previousCode = code;
            }
        }
    }
    EXPECT_EQ(characters, 6763);
}

TEST(PinyinTableTest, KnownReadingsOfBothLevels)
{
    const std::pair<const char*, const char*> readings[] = {
        {"张", "ZHANG"}, {"三", "SAN"},   {"李", "LI"},   {"王", "WANG"}, {"吕", "LV"},  {"女", "NV"},
        {"略", "LUE"},   {"长", "CHANG"}, {"曾", "ZENG"}, {"乜", "MIE"},  {"亻", "REN"}, {"鼽", "QIU"}};
    for (const auto& [character, syllable] : readings)
        EXPECT_EQ(Transcribe(character), syllable) << character;
    for (int code : {5603, 5685, 5867})
        EXPECT_EQ(CPinyinConverter::GetSyllable(code), "WU") << code;
}

// Second-level characters come one by one and several have more than one
// reading; in a name they are mostly surnames, and the picker finds a
// student only under the reading the surname has.
TEST(PinyinTableTest, SecondLevelSurnamesHaveTheirSurnameReadings)
{
    const std::pair<const char*, const char*> surnames[] = {
        {"覃", "TAN"},  {"莘", "SHEN"}, {"蕃", "FAN"},  {"缪", "MIAO"},  {"阚", "KAN"}, {"隗", "KUI"},
        {"宓", "MI"},   {"谌", "CHEN"}, {"逄", "PANG"}, {"亓", "QI"},    {"佘", "SHE"}, {"郗", "XI"},
        {"臧", "ZANG"}, {"眭", "SUI"},  {"訾", "ZI"},   {"邝", "KUANG"}, {"璩", "QU"},  {"禚", "ZHUO"}};
    for (const auto& [character, syllable] : surnames) {
        const std::string bytes = Gbk(character);
        ASSERT_EQ(bytes.size(), 2u) << character;
        const int code =
            (static_cast<unsigned char>(bytes[0]) - 0xA0) * 100 + (static_cast<unsigned char>(bytes[1]) - 0xA0);
        EXPECT_GE(code, 5601) << character << " is a second-level character";
        EXPECT_EQ(CPinyinConverter::GetSyllable(code), syllable) << character;
    }
    EXPECT_EQ(Transcribe("缪覃"), "MIAOTAN");
    EXPECT_EQ(Transcribe("阚莘蕃", true), "KSF");
}

TEST(PinyinTableTest, CodesOutsideTheTableAreUnknown)
{
    for (int code : {-1, 0, 101, 1600, 1695, 1700, 5590, 5594, 8795, 8801, 9401, 100000})
        EXPECT_EQ(CPinyinConverter::GetSyllable(code), "?") << code;
}

TEST(PinyinConverterTest, TranscribesNamesAndInitials)
{
    EXPECT_EQ(Transcribe("AB12"), "AB12");
    EXPECT_EQ(Transcribe("啊"), "A");
    EXPECT_EQ(Transcribe("埃"), "AI");
    EXPECT_EQ(Transcribe("啊", true), "A");
    EXPECT_EQ(Transcribe("埃", true), "A");
    EXPECT_EQ(Transcribe("张三"), "ZHANGSAN");
    EXPECT_EQ(Transcribe("张三", true), "ZS");
    EXPECT_EQ(Transcribe("Li 张三3班"), "Li ZHANGSAN3BAN");
    EXPECT_EQ(Transcribe("Li 张三3班", true), "Li ZS3B");
    EXPECT_EQ(Transcribe(""), "");

    // Full-width punctuation and symbols (zones 1 to 9): one "?" each.
    EXPECT_EQ(Transcribe("（张）"), "?ZHANG?");
    EXPECT_EQ(Transcribe("，。", true), "??");

    CPinyinConverter converter;
    std::string out = "X:";
    converter.AppendTranscription(out, Gbk("王"));
    EXPECT_EQ(out, "X:WANG");
}

TEST(PinyinConverterTest, CaseAndSeparatorOptions)
{
    CPinyinConverter converter;
    EXPECT_FALSE(converter.GetInitialsOnly());
    EXPECT_TRUE(converter.GetUpperFirst());
    EXPECT_TRUE(converter.GetUpperRest());
    EXPECT_FALSE(converter.GetSeparator());

    const std::string name = Gbk("张三");
    converter.SetUpperRest(false);
    EXPECT_EQ(converter.Transcribe(name), "ZhangSan");
    converter.SetUpperFirst(false);
    EXPECT_EQ(converter.Transcribe(name), "zhangsan");
    converter.SetUpperRest(true);
    EXPECT_EQ(converter.Transcribe(name), "zHANGsAN");
    // Only letters change case; the mark of an unknown character stays.
    EXPECT_EQ(converter.Transcribe(Gbk("，")), "?");
    EXPECT_EQ(converter.Transcribe("Ab"), "Ab") << "single-byte characters are copied as they are";

    CPinyinConverter separated;
    separated.SetSeparator(true);
    EXPECT_EQ(separated.Transcribe(name), "ZHANG'SAN'");
    EXPECT_EQ(separated.Transcribe(Gbk("A1张")), "A'1'ZHANG'");
    separated.SetInitialsOnly(true);
    EXPECT_EQ(separated.Transcribe(name), "Z'S'");
}

TEST(PinyinConverterTest, StrayLeadBytesAreDropped)
{
    const std::string zhang = Gbk("张");
    // A lone lead byte at the end.
    EXPECT_EQ(CPinyinConverter().Transcribe(zhang + zhang.substr(0, 1)), "ZHANG");
    EXPECT_EQ(CPinyinConverter().Transcribe(zhang.substr(0, 1)), "");
    // A lead byte before a byte that cannot follow it: that byte is kept.
    EXPECT_EQ(CPinyinConverter().Transcribe(zhang.substr(0, 1) + "1 " + zhang), "1 ZHANG");
    EXPECT_EQ(CPinyinConverter().Transcribe(zhang.substr(0, 1) + "\x7F" + zhang), "\x7FZHANG");
    EXPECT_EQ(CPinyinConverter().Transcribe("\x80\xFF"), "");
}

TEST(PinyinConverterTest, CharactersOutsideGb2312AreUnknownAndDoNotShiftTheRest)
{
    // 喆 is GBK but not GB2312; its trail byte must not pair with the next
    // character's lead byte.
    EXPECT_EQ(Transcribe("王喆明"), "WANG?MING");
    // GBK characters whose trail byte is an ASCII letter (丄 and 乑).
    EXPECT_EQ(CPinyinConverter().Transcribe("\x81\x41\x81\x5A" + Gbk("李")), "??LI");
    // A character GBK lacks is written as a four-byte sequence.
    const std::string rare = CTextCodec::ToGbk("张\xF0\xA0\x80\x80三");
    ASSERT_EQ(rare.size(), 8u);
    EXPECT_EQ(CPinyinConverter().Transcribe(rare), "ZHANG?SAN");
    CPinyinConverter initials;
    initials.SetInitialsOnly(true);
    EXPECT_EQ(initials.Transcribe(rare), "Z?S");
}

} // namespace

TEST(PinyinSoundTest, NamesThatSoundAlikeShareAKeyAndUnknownCharactersOnlyTheirOwn)
{
    EXPECT_EQ(CPinyinConverter::SoundKey("张伟"), CPinyinConverter::SoundKey("章伟"));
    EXPECT_EQ(CPinyinConverter::SoundKey("张伟"), "ZHANG'WEI'");
    EXPECT_NE(CPinyinConverter::SoundKey("张伟"), CPinyinConverter::SoundKey("张维娜"));
    // Syllables stay apart: XI'AN is not XIAN.
    EXPECT_NE(CPinyinConverter::SoundKey("西安"), CPinyinConverter::SoundKey("先"));
    // 㛃 is outside the table: the name is compared as it is written.
    EXPECT_EQ(CPinyinConverter::SoundKey("李㛃"), "李㛃");
}
