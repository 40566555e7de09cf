#include "base/util/XmlSectionSplit.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The blocks of a split as texts.
std::vector<std::string> Blocks(std::string_view text, const CXmlSectionSplit::Section& section)
{
    std::vector<std::string> blocks;
    for (std::size_t k = 0; k + 1 < section.cuts.size(); ++k)
        blocks.emplace_back(text.substr(section.cuts[k], section.cuts[k + 1] - section.cuts[k]));
    return blocks;
}

} // namespace

TEST(XmlSectionSplit, CutsBetweenWholeChildrenWhateverTheirAttributesHold)
{
    const std::string text = "<?xml version='1.0' encoding='GB2312'?>\r\n<Input><A/><List x='>'>"
                             "<S id=\"1\" v=\"a/>b\"/><S id='2'><In><Deep/></In></S>\r\n"
                             "<S id=\"3\" v='\"'></S><S id=\"4\"/></List><B/></Input>";
    const auto section = CXmlSectionSplit::Find(text, "List", 2);
    ASSERT_TRUE(section.has_value());
    EXPECT_EQ(text.substr(section->name, 4), "List");
    EXPECT_EQ(text.substr(section->contentEnd, 7), "</List>");
    EXPECT_EQ(Blocks(text, *section),
              (std::vector<std::string>{"<S id=\"1\" v=\"a/>b\"/><S id='2'><In><Deep/></In></S>",
                                        "\r\n<S id=\"3\" v='\"'></S><S id=\"4\"/>"}));

    // An odd child out makes a last, shorter block.
    const auto ones = CXmlSectionSplit::Find(text, "List", 3);
    ASSERT_TRUE(ones.has_value());
    EXPECT_EQ(Blocks(text, *ones).size(), 2u);
    EXPECT_EQ(Blocks(text, *ones).back(), "<S id=\"4\"/>");
}

TEST(XmlSectionSplit, AnEmptyElementIsPassedForTheFirstWithContent)
{
    const std::string text = "<Input><Other><List/></Other><List><S/></List></Input>";
    const auto section = CXmlSectionSplit::Find(text, "List", 10);
    ASSERT_TRUE(section.has_value());
    EXPECT_EQ(section->contentBegin, text.find("<S/>"));
    EXPECT_FALSE(CXmlSectionSplit::Find("<Input><List/></Input>", "List", 10).has_value());
    EXPECT_FALSE(CXmlSectionSplit::Find("<Input><Lists><S/></Lists></Input>", "List", 10).has_value());
}

TEST(XmlSectionSplit, TextsThatCouldHideOrFakeTagsAreNotSplit)
{
    for (const char* text : {"<Input><!-- <List> --><List><S/></List></Input>",
                             "<Input><List><![CDATA[</List>]]><S/></List></Input>",
                             "<!DOCTYPE Input><Input><List><S/></List></Input>",
                             "<?xml version='1.0'?><Input><?pi <List>?><List><S/></List></Input>",
                             "<Input><List><S></T></List></Input>", "<Input><List><S><S/></List></Input>",
                             "<Input><List><S v=\"never closed/></List></Input>", "<Input><List><S/>"}) {
        EXPECT_FALSE(CXmlSectionSplit::Find(text, "List", 1).has_value()) << text;
    }
    EXPECT_TRUE(CXmlSectionSplit::Find("\xEF\xBB\xBF<?xml version='1.0'?>\n<Input><List><S/></List></Input>", "List", 1)
                    .has_value());
}
