#include "logic/export/WorkbookStyles.h"

#include "logic/export/CellText.h"

namespace {

// The fonts, fills and borders the styles draw on, by their numbers below.
enum Font
{
    kDefaultFont,
    kTitleFont,
    kBodyFont,
    kBoldFont
};
constexpr int kGreyFill = 2; // 0 and 1 are the two fills every workbook starts with
constexpr int kFrame = 1;
constexpr int kTextFormat = 164; // "@"

struct Look
{
    int format;
    int font;
    int fill;
    int border;
};

Look LookOf(CWorkbookStyles::Style style)
{
    switch (style) {
    case CWorkbookStyles::Style::Plain:
        return {kTextFormat, kDefaultFont, 0, 0};
    case CWorkbookStyles::Style::Title:
        return {kTextFormat, kTitleFont, 0, 0};
    case CWorkbookStyles::Style::Note:
        return {kTextFormat, kBodyFont, 0, 0};
    case CWorkbookStyles::Style::Header:
        return {kTextFormat, kBoldFont, kGreyFill, kFrame};
    case CWorkbookStyles::Style::Data:
        return {kTextFormat, kBodyFont, 0, kFrame};
    case CWorkbookStyles::Style::Number:
        return {0, kBodyFont, 0, kFrame};
    }
    return {0, 0, 0, 0};
}

void AppendFont(std::string& xml, const std::string& name, int size, bool bold)
{
    xml += "<font>";
    if (bold)
        xml += "<b/>";
    xml += "<sz val=\"" + std::to_string(size) + "\"/><color rgb=\"FF000000\"/><name val=\"";
    CCellText::AppendEscaped(xml, name, true);
    xml += "\"/><family val=\"2\"/></font>";
}

} // namespace

int CWorkbookStyles::Index(Style style)
{
    int& index = m_index[static_cast<std::size_t>(style)];
    if (index < 0) {
        m_order[static_cast<std::size_t>(m_used)] = style;
        index = ++m_used; // 0 is the workbook's default style
    }
    return index;
}

std::string CWorkbookStyles::Xml(const std::string& fontName) const
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                      "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                      "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"@\"/></numFmts>"
                      "<fonts count=\"4\">";
    // The default font sets the width unit of the columns.
    AppendFont(xml, "Calibri", 11, false);
    AppendFont(xml, fontName, 14, false);
    AppendFont(xml, fontName, 11, false);
    AppendFont(xml, fontName, 11, true);
    xml += "</fonts><fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill>"
           "<fill><patternFill patternType=\"gray125\"/></fill>"
           "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFC0C0C0\"/><bgColor indexed=\"64\"/>"
           "</patternFill></fill></fills>"
           "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
           "<border><left style=\"thin\"><color auto=\"1\"/></left><right style=\"thin\"><color auto=\"1\"/></right>"
           "<top style=\"thin\"><color auto=\"1\"/></top><bottom style=\"thin\"><color auto=\"1\"/></bottom>"
           "<diagonal/></border></borders>"
           "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
           "<cellXfs count=\"";
    xml += std::to_string(m_used + 1);
    xml += "\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>";
    for (int i = 0; i < m_used; ++i) {
        const Look look = LookOf(m_order[static_cast<std::size_t>(i)]);
        xml += "<xf numFmtId=\"" + std::to_string(look.format) + "\" fontId=\"" + std::to_string(look.font)
               + "\" fillId=\"" + std::to_string(look.fill) + "\" borderId=\"" + std::to_string(look.border)
               + "\" xfId=\"0\"";
        if (look.format != 0)
            xml += " applyNumberFormat=\"1\"";
        if (look.font != kDefaultFont)
            xml += " applyFont=\"1\"";
        if (look.fill != 0)
            xml += " applyFill=\"1\"";
        if (look.border != 0)
            xml += " applyBorder=\"1\"";
        xml += " applyAlignment=\"1\"><alignment horizontal=\"center\" vertical=\"center\" wrapText=\"1\"/></xf>";
    }
    xml += "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
           "<dxfs count=\"0\"/><tableStyles count=\"0\"/></styleSheet>";
    return xml;
}
