#include "TestSupport.h"

#include "FileUtil.h"
#include "IniFile.h"
#include "TextCodec.h"

#include <random>

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

    // Undecodable bytes do not vanish silently.
    EXPECT_EQ(CTextCodec::FromGbk(std::string("a\xFF") + "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(CTextCodec::FromGbk("\x80"), "€");
    EXPECT_TRUE(CTextCodec::IsValidUtf8("学😀"));
    EXPECT_FALSE(CTextCodec::IsValidUtf8(Gbk("中文")));
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
        "第一行\n第二行\r\n[Evil]\nName=x", "\"引号\"", "'单引号'", " 前后空格 ", "C:\\new\\table", "ends with \\", "\\\\server\\n", "a\\\nb", "\\r\\n",
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
