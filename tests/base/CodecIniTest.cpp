#include "TestSupport.h"

#include "base/util/FileUtil.h"
#include "base/util/IniFile.h"
#include "base/util/TextCodec.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>

using namespace testsupport;

namespace {

TEST(TextCodecTest, GbkAndBeyond)
{
    const std::string text = "高一新生 ABC·—";
    EXPECT_EQ(CTextCodec::ToGbk("高一新生"), Gbk("高一新生"));
    EXPECT_EQ(CTextCodec::FromGbk(CTextCodec::ToGbk(text)), text);

    // Outside GBK: stored as GB18030 sequences, read back unchanged.
    const std::string rare = "𠀀😀鿏";
    EXPECT_FALSE(CTextCodec::IsGbkEncodable(rare));
    EXPECT_TRUE(CTextCodec::IsGbkEncodable(text));
    EXPECT_EQ(CTextCodec::FromGbk(CTextCodec::ToGbk("名" + rare + "字")), "名" + rare + "字");

    // For XML: character references instead.
    EXPECT_EQ(CTextCodec::ToGbkXml("a😀b"), "a&#x1F600;b");
    EXPECT_EQ(CTextCodec::ToGbkXml("学"), Gbk("学"));

    // Undecodable bytes do not vanish silently, nor take their neighbours.
    EXPECT_EQ(CTextCodec::FromGbk(std::string("a\xFF") + "b"), "a\xEF\xBF\xBD"
                                                               "b");
    EXPECT_EQ(CTextCodec::FromGbk("\x81\x7F"
                                  "A"),
              "\xEF\xBF\xBD\x7F"
              "A");
    EXPECT_EQ(CTextCodec::FromGbk("\x81\x30"
                                  "b"),
              "\xEF\xBF\xBD"
              "0b");
    EXPECT_EQ(CTextCodec::FromGbk("\x80"), "€");
    EXPECT_TRUE(CTextCodec::IsValidUtf8("学😀"));
    EXPECT_FALSE(CTextCodec::IsValidUtf8(Gbk("中文")));
}

// Every two-byte sequence of the code page.
std::vector<std::string> TwoByteSequences()
{
    std::vector<std::string> sequences;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F)
                sequences.push_back({static_cast<char>(lead), static_cast<char>(trail)});
        }
    }
    return sequences;
}

std::string Hex(const std::string& bytes)
{
    std::string text;
    for (const char c : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
        text += digits;
    }
    return text;
}

std::size_t CodePoints(const std::string& utf8)
{
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

TEST(TextCodecTest, EveryTwoByteSequenceIsOneCharacterWrittenBackAsTheSameBytes)
{
    const std::vector<std::string> sequences = TwoByteSequences();
    ASSERT_EQ(sequences.size(), 23940u);
    std::set<std::string> characters;
    std::string all;
    for (const std::string& bytes : sequences) {
        const std::string text = CTextCodec::FromGbk(bytes);
        ASSERT_TRUE(CTextCodec::IsValidUtf8(text));
        ASSERT_EQ(CodePoints(text), 1u) << Hex(bytes);
        ASSERT_NE(text, "\xEF\xBF\xBD") << Hex(bytes);
        ASSERT_EQ(CTextCodec::ToGbk(text), bytes) << Hex(bytes);
        ASSERT_EQ(CTextCodec::ToGbkXml(text), bytes);
        EXPECT_TRUE(CTextCodec::IsGbkEncodable(text));
        characters.insert(text);
        all += "a" + bytes;
    }
    EXPECT_EQ(characters.size(), sequences.size()) << "no two sequences read as the same character";
    // Run together with ASCII neighbours, as in a name.
    EXPECT_EQ(CTextCodec::ToGbk(CTextCodec::FromGbk(all)), all);

    // Extension B characters stand behind six of them.
    EXPECT_EQ(CTextCodec::FromGbk("\xFE\x51"), "\xF0\xA0\x82\x87");
    EXPECT_EQ(CTextCodec::FromGbk("\xFE\x91"
                                  "\xB1\xFB"),
              "\xF0\xA4\x87\xBE丙");
    // Outside GB2312 but in GBK, with lead bytes below A1.
    EXPECT_EQ(CTextCodec::ToGbk("喆堃"), Gbk("喆堃"));
    EXPECT_LT(static_cast<unsigned char>(CTextCodec::ToGbk("喆")[0]), 0xA1);
    // The euro sign is 0x80 everywhere; A2E3 keeps its own bytes.
    EXPECT_EQ(CTextCodec::ToGbk("€"), "\x80");
    EXPECT_EQ(CTextCodec::ToGbkXml("€"), "\x80");
    EXPECT_EQ(CTextCodec::ToGbk(CTextCodec::FromGbk("\xA2\xE3\x80")), "\xA2\xE3\x80");
}

TEST(TextCodecTest, EveryCharacterSurvivesTheCodePage)
{
    // Characters without a two-byte form go as four-byte sequences (task
    // file, settings, report) or character references (XML).
    std::size_t unmapped = 0;
    for (char32_t code = 0x80; code <= 0x10FFFF; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF)
            continue;
        std::string text;
        CTextCodec::AppendUtf8(text, code);
        const std::string bytes = CTextCodec::ToGbk(text);
        const std::string back = CTextCodec::FromGbk(bytes);
        if (back != text) {
            // The converter lacks a handful of private-use characters.
            ASSERT_EQ(back, "\xEF\xBF\xBD") << std::hex << static_cast<unsigned>(code);
            ASSERT_TRUE(code >= 0xE000 && code <= 0xF8FF) << std::hex << static_cast<unsigned>(code);
            ++unmapped;
        }
        const std::string xml = CTextCodec::ToGbkXml(text);
        ASSERT_TRUE(xml == bytes || xml.starts_with("&#x")) << std::hex << static_cast<unsigned>(code);
    }
    EXPECT_LT(unmapped, 32u);
}

TEST(TextCodecTest, TextThatIsNotUtf8BecomesReplacementCharacters)
{
    // Each stray byte becomes one U+FFFD; the byte after it is read anew.
    EXPECT_EQ(CTextCodec::ToValidUtf8("A\xE9x"), "A\xEF\xBF\xBDx");
    EXPECT_EQ(CTextCodec::ToValidUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD") << "a surrogate";
    EXPECT_EQ(CTextCodec::ToValidUtf8("学\xC0"), "学\xEF\xBF\xBD");
    EXPECT_EQ(CTextCodec::ToValidUtf8("学😀"), "学😀");
    // Never written raw into a file of the code page.
    EXPECT_EQ(CTextCodec::ToGbk("A\xE9x"), CTextCodec::ToGbk("A\xEF\xBF\xBDx"));
    EXPECT_EQ(CTextCodec::ToGbkXml("A\xE9x"), "A&#xFFFD;x");
    // XML has no reference for these.
    EXPECT_EQ(CTextCodec::ToGbkXml("\xEF\xBF\xBF"), "&#xFFFD;");
}

TEST(FileUtilTest, AtomicWriteAndPaths)
{
    TempFolder dir;
    const std::string file = dir.File("a.txt");
    ASSERT_TRUE(CFileUtil::WriteFileAtomically(file, "one"));
    ASSERT_TRUE(CFileUtil::WriteFileAtomically(file, "two"));
    EXPECT_EQ(*CFileUtil::ReadFile(file), "two");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "no temporary left";

    // A folder that cannot exist: nothing written, false.
    EXPECT_FALSE(CFileUtil::WriteFileAtomically(file + "/sub.txt", "x"));
    EXPECT_FALSE(CFileUtil::WriteFileAtomically(dir.Dir(), "x"));
    EXPECT_EQ(*CFileUtil::ReadFile(file), "two");
    EXPECT_FALSE(CFileUtil::ReadFile(dir.File("missing")).has_value());

    // A name close to the file system's limit (a long task name) still saves.
    std::string longName;
    for (int i = 0; i < 83; ++i)
        longName += "长";
    longName += ".qz";
    ASSERT_EQ(longName.size(), 252u);
    EXPECT_TRUE(CFileUtil::WriteFileAtomically(dir.File(longName), "[Task Info]"));
    EXPECT_TRUE(CFileUtil::CopyFileReplacing(file, dir.File(longName)));
    EXPECT_EQ(*CFileUtil::ReadFile(dir.File(longName)), "two");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2) << "no temporary left";

    EXPECT_TRUE(CFileUtil::SamePath(file, dir.Dir() + "./a.txt"));
    EXPECT_TRUE(CFileUtil::SamePath(dir.File("Nope.qz"), dir.File("nope.QZ")));
    EXPECT_FALSE(CFileUtil::SamePath(file, dir.File("A.txt")));
    EXPECT_EQ(CFileUtil::WithSeparator("x"), "x/");
    EXPECT_EQ(CFileUtil::WithSeparator("x/"), "x/");
}

TEST(IniFileTest, ReadWriteKeepsOtherEntries)
{
    TempFolder dir;
    const std::string ini = dir.File("t.qz");
    EXPECT_EQ(CIniFile::ReadString(ini, "S", "k", "def"), "def");
    EXPECT_EQ(CIniFile::ReadInt(ini, "S", "n", 7), 7);

    // A file as the Windows program writes it: GBK, CRLF, other sections.
    WriteBytes(ini, Gbk("[Other]\r\nX=1\r\n[Task Info]\r\nName=高一新生\r\nPath=D:\\Tasks\\A\r\n"));
    EXPECT_EQ(CIniFile::ReadString(ini, "task info", "NAME", ""), "高一新生");
    EXPECT_EQ(CIniFile::ReadString(ini, "Task Info", "Path", ""), "D:\\Tasks\\A");

    ASSERT_TRUE(CIniFile::WriteString(ini, "Task Info", "Creator", "张老师"));
    ASSERT_TRUE(CIniFile::WriteInt(ini, "Other", "Y", -12));
    ASSERT_TRUE(CIniFile::WriteBool(ini, "Other", "B", true));
    EXPECT_EQ(CIniFile::ReadString(ini, "Task Info", "Name", ""), "高一新生");
    EXPECT_EQ(CIniFile::ReadString(ini, "Task Info", "Creator", ""), "张老师");
    EXPECT_EQ(CIniFile::ReadInt(ini, "Other", "X", 0), 1);
    EXPECT_EQ(CIniFile::ReadInt(ini, "Other", "Y", 0), -12);
    EXPECT_TRUE(CIniFile::ReadBool(ini, "Other", "B", false));

    const std::string bytes = ReadBytes(ini);
    EXPECT_NE(bytes.find(Gbk("Creator=张老师")), std::string::npos) << "GBK bytes, key=value";
    EXPECT_NE(bytes.find("Path=D:\\Tasks\\A"), std::string::npos) << "plain paths stored unchanged";

    WriteBytes(ini, "[S]\nn=42abc\nm=abc\n");
    EXPECT_EQ(CIniFile::ReadInt(ini, "S", "n", 0), 42);
    EXPECT_EQ(CIniFile::ReadInt(ini, "S", "m", 5), 0);
}

TEST(IniFileTest, LineBreaksAndBackslashesRoundTrip)
{
    TempFolder dir;
    const std::string ini = dir.File("t.ini");
    const std::vector<std::string> values = {
        "第一行\n第二行\r\n[Evil]\nName=x",
        "\"引号\"",
        "'单引号'",
        " 前后空格 ",
        "C:\\new\\table",
        "ends with \\",
        "\\\\server\\n",
        "a\\\nb",
        "\\r\\n",
    };
    for (const std::string& value : values) {
        ASSERT_TRUE(CIniFile::WriteString(ini, "S", "k", value));
        EXPECT_EQ(CIniFile::ReadString(ini, "S", "k", "", 4096), value);
        EXPECT_EQ(CIniFile::ReadString(ini, "Evil", "Name", "none"), "none") << "a value never becomes a section";
    }

    std::mt19937 random(7);
    const char alphabet[] = {'a', '\\', 'n', 'r', '\n', '\r', ' '};
    for (int round = 0; round < 200; ++round) {
        std::string value = "x";
        for (int i = 0; i < 12; ++i)
            value += alphabet[random() % sizeof alphabet];
        value += "x"; // blanks at the ends are trimmed, as the platform does
        ASSERT_TRUE(CIniFile::WriteString(ini, "S", "k", value));
        ASSERT_EQ(CIniFile::ReadString(ini, "S", "k", "", 4096), value);
    }
}

TEST(IniFileTest, ValuesWrittenByThePlatformReadBackVerbatim)
{
    // Windows paths are full of "\n" and "\\" sequences; they are text,
    // not escapes, in a file another program wrote.
    TempFolder dir;
    const std::string ini = dir.File("qz.ini");
    WriteBytes(ini, Gbk("[Recently Tasks]\r\n1=D:\\new\\任务.qz\r\n2=\\\\server\\share\\r\\a.qz\r\n"
                        "3=C:\\data\\\\x\r\n"));
    EXPECT_EQ(CIniFile::ReadString(ini, "Recently Tasks", "1", ""), "D:\\new\\任务.qz");
    EXPECT_EQ(CIniFile::ReadString(ini, "Recently Tasks", "2", ""), "\\\\server\\share\\r\\a.qz");
    EXPECT_EQ(CIniFile::ReadString(ini, "Recently Tasks", "3", ""), "C:\\data\\\\x");

    // And what we write without line breaks is what the platform would write.
    ASSERT_TRUE(CIniFile::WriteString(ini, "Recently Tasks", "4", "D:\\new\\b.qz"));
    EXPECT_NE(ReadBytes(ini).find("4=D:\\new\\b.qz"), std::string::npos);
}

TEST(IniFileTest, CutAt259BytesNeverSplitsACharacter)
{
    TempFolder dir;
    const std::string ini = dir.File("t.ini");
    ASSERT_TRUE(CIniFile::WriteString(ini, "S", "k", std::string(300, 'x')));
    EXPECT_EQ(CIniFile::ReadString(ini, "S", "k", ""), std::string(259, 'x'));

    // 130 two-byte characters: 259 bytes would end inside the 130th.
    std::string chinese;
    for (int i = 0; i < 130; ++i)
        chinese += "中";
    ASSERT_TRUE(CIniFile::WriteString(ini, "S", "k", chinese));
    const std::string cut = CIniFile::ReadString(ini, "S", "k", "");
    EXPECT_EQ(cut, chinese.substr(0, 129 * 3));

    ASSERT_TRUE(CIniFile::WriteString(ini, "S", "k", "a" + chinese));
    EXPECT_EQ(CIniFile::ReadString(ini, "S", "k", ""), "a" + chinese.substr(0, 129 * 3));
}

} // namespace

namespace {

// A settings file as the Windows program and a hand editor leave it.
const std::string kWindowsSettings = "; Lumo settings\r\n"
                                     "[SYSTEM]\r\n"
                                     "Auth=\r\n"
                                     "\r\n"
                                     "[Common]\r\n"
                                     "SchoolName = 第一中学\r\n"
                                     "LastPage = 2\r\n"
                                     "  ; a comment inside\r\n"
                                     "\r\n"
                                     "[Recently Tasks]\r\n"
                                     "1=D:\\new\\任务.qz\r\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

TEST(IniFileTest, OnlyTheValueSetChanges)
{
    TempFolder dir;
    const std::string ini = dir.File("qz.ini");
    const std::string original = Gbk(kWindowsSettings);
    WriteBytes(ini, original);

    ASSERT_TRUE(CIniFile::WriteInt(ini, "Common", "LastPage", 4));
    EXPECT_EQ(ReadBytes(ini), Replaced(original, "LastPage = 2", "LastPage = 4"));
    ASSERT_TRUE(CIniFile::WriteString(ini, "SYSTEM", "Auth", "abc"));
    EXPECT_EQ(ReadBytes(ini), Replaced(Replaced(original, "LastPage = 2", "LastPage = 4"), "Auth=", "Auth=abc"));

    // New keys after the last key of their section, new sections at the
    // end, both with CRLF.
    WriteBytes(ini, original);
    CIniFile file(ini);
    ASSERT_TRUE(file.Load());
    EXPECT_EQ(file.GetString("Common", "SchoolName", ""), "第一中学");
    EXPECT_EQ(file.GetInt("common", "lastpage", 0), 2);
    file.SetBool("Common", "Shown", true);
    file.SetString("Print", "NormalPrint", "0");
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(ReadBytes(ini),
              Replaced(original, "LastPage = 2\r\n", "LastPage = 2\r\nShown=1\r\n") + "[Print]\r\nNormalPrint=0\r\n");

    // A last line without a line end gets one before a new line follows.
    WriteBytes(ini, "[S]\nk=1");
    ASSERT_TRUE(CIniFile::WriteString(ini, "S", "n", "2"));
    EXPECT_EQ(ReadBytes(ini), "[S]\nk=1\r\nn=2\r\n");
}

TEST(IniFileTest, FirstOfADuplicatedKeyCounts)
{
    TempFolder dir;
    const std::string ini = dir.File("t.qz");
    WriteBytes(ini, "[Task Info]\r\nName=first\r\nName=second\r\n[Task Info]\r\nName=third\r\n");
    EXPECT_EQ(CIniFile::ReadString(ini, "Task Info", "Name", ""), "first");
    ASSERT_TRUE(CIniFile::WriteString(ini, "Task Info", "Name", "new"));
    EXPECT_EQ(ReadBytes(ini), "[Task Info]\r\nName=new\r\nName=second\r\n[Task Info]\r\nName=third\r\n");
    // Only the first section of a name counts, for reading and for new keys.
    WriteBytes(ini, "[Task Info]\r\nName=first\r\n[Task Info]\r\nCreator=hidden\r\n");
    EXPECT_EQ(CIniFile::ReadString(ini, "Task Info", "Creator", "none"), "none");
    ASSERT_TRUE(CIniFile::WriteString(ini, "Task Info", "Creator", "x"));
    EXPECT_EQ(ReadBytes(ini), "[Task Info]\r\nName=first\r\nCreator=x\r\n[Task Info]\r\nCreator=hidden\r\n");
}

TEST(IniFileTest, FileWithAUtf8ByteOrderMarkStaysUtf8)
{
    TempFolder dir;
    const std::string ini = dir.File("qz.ini");
    const std::string original = "\xEF\xBB\xBF[Common]\r\nSchoolName=第一中学\r\nLastPage=1\r\n";
    WriteBytes(ini, original);
    EXPECT_EQ(CIniFile::ReadString(ini, "Common", "SchoolName", ""), "第一中学");
    ASSERT_TRUE(CIniFile::WriteInt(ini, "Common", "LastPage", 3));
    EXPECT_EQ(ReadBytes(ini), Replaced(original, "LastPage=1", "LastPage=3"));
    ASSERT_TRUE(CIniFile::WriteString(ini, "Common", "Motto", "学😀"));
    EXPECT_EQ(CIniFile::ReadString(ini, "Common", "SchoolName", ""), "第一中学");
    EXPECT_EQ(CIniFile::ReadString(ini, "Common", "Motto", ""), "学😀");
    EXPECT_NE(ReadBytes(ini).find("Motto=学😀\r\n"), std::string::npos);

    // A stray byte in such a file reads as U+FFFD and spoils nothing else.
    WriteBytes(ini, "\xEF\xBB\xBF[S]\r\na=A\xE9x\r\nb=2\r\n");
    EXPECT_EQ(CIniFile::ReadString(ini, "S", "a", ""), "A\xEF\xBF\xBDx");
    ASSERT_TRUE(CIniFile::WriteInt(ini, "S", "b", 3));
    EXPECT_EQ(ReadBytes(ini), "\xEF\xBB\xBF[S]\r\na=A\xE9x\r\nb=3\r\n");
}

TEST(IniFileTest, LoadedOnceSavedOnceAndOnlyWhenChanged)
{
    TempFolder dir;
    const std::string ini = dir.File("qz.ini");
    WriteBytes(ini, Gbk(kWindowsSettings));
    CIniFile file(ini);
    ASSERT_TRUE(file.Load());
    std::filesystem::remove(ini);
    // Answers come from memory.
    EXPECT_EQ(file.GetString("Recently Tasks", "1", ""), "D:\\new\\任务.qz");
    EXPECT_EQ(file.GetString("Common", "Missing", "def"), "def");
    EXPECT_TRUE(file.GetBool("Print", "NormalPrint", true));

    WriteBytes(ini, Gbk(kWindowsSettings));
    file.SetInt("Common", "LastPage", 2);
    EXPECT_FALSE(file.IsModified()) << "the same value changes nothing";
    const auto inode = [&] { return std::filesystem::hard_link_count(ini); };
    std::filesystem::create_hard_link(ini, dir.File("link"));
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(inode(), 2u) << "nothing to save: the file is left alone";

    for (const char* key : {"NormalPrint", "ShowSchoolName", "ShowHeadTeacherName", "SubjectNameOnly", "ShowDateInfo"})
        file.SetBool("Print", key, false);
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(inode(), 1u) << "the file was replaced, not written in place";
    EXPECT_EQ(ReadBytes(dir.File("link")), Gbk(kWindowsSettings)) << "the old file is untouched";
    EXPECT_FALSE(file.IsModified());
    EXPECT_FALSE(CIniFile::ReadBool(ini, "Print", "ShowDateInfo", true));

    // A file that cannot be read is never overwritten.
    CIniFile folder(dir.Dir());
    EXPECT_FALSE(folder.Load());
    folder.SetString("S", "k", "v");
    EXPECT_FALSE(folder.Save());
}

TEST(IniFileTest, EveryTwoByteSequenceComesBackAsItsBytes)
{
    // 200 values of 120 sequences each, copied from one file into another
    // through the text in memory.
    TempFolder dir;
    const std::vector<std::string> sequences = TwoByteSequences();
    std::string original = "[Task Info]\r\n";
    for (std::size_t i = 0; i < sequences.size(); i += 120) {
        std::string value;
        for (std::size_t k = i; k < std::min(i + 120, sequences.size()); ++k)
            value += sequences[k];
        original += "D" + std::to_string(i) + "=" + value + "\r\n";
    }
    WriteBytes(dir.File("a.qz"), original);
    CIniFile from(dir.File("a.qz"));
    ASSERT_TRUE(from.Load());
    CIniFile to(dir.File("b.qz"));
    ASSERT_TRUE(to.Load());
    for (std::size_t i = 0; i < sequences.size(); i += 120) {
        const std::string key = "D" + std::to_string(i);
        to.SetString("Task Info", key, from.GetString("Task Info", key, "", 4096));
    }
    ASSERT_TRUE(to.Save());
    EXPECT_EQ(ReadBytes(dir.File("b.qz")), original);
}

} // namespace
