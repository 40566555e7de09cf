#include "logic/export/SheetXmlWriter.h"

#include "logic/export/CellText.h"
#include "logic/export/SharedStrings.h"

#include <cmath>
#include <utility>

namespace {

constexpr std::size_t kFlushSize = 1 << 17;
// Pixels of a digit of the default font, and of a cell's padding.
constexpr double kDigitPixels = 7;
constexpr double kPaddingPixels = 5;

void AppendInteger(std::string& out, std::uint64_t value)
{
    char digits[24];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count > 0)
        out += digits[--count];
}

void AppendWidth(std::string& out, double width)
{
    if (!CCellText::AppendNumber(out, width))
        out += '0';
}

} // namespace

CSheetXmlWriter::CSheetXmlWriter(CSharedStrings& strings, Sink sink) : m_strings(strings), m_sink(std::move(sink))
{
    m_buffer.reserve(kFlushSize + 4096);
}

double CSheetXmlWriter::StoredWidth(double characters)
{
    if (!(characters > 0))
        return 0;
    const double pixels = characters < 1 ? std::floor(characters * (kDigitPixels + kPaddingPixels) + 0.5)
                                         : std::floor(characters * kDigitPixels + 0.5) + kPaddingPixels;
    return std::floor(pixels / kDigitPixels * 256) / 256;
}

std::string CSheetXmlWriter::Reference(unsigned column, std::uint32_t row)
{
    std::string reference;
    CCellText::AppendColumnName(reference, column);
    AppendInteger(reference, static_cast<std::uint64_t>(row) + 1);
    return reference;
}

void CSheetXmlWriter::Flush(bool always)
{
    if (m_buffer.size() < kFlushSize && !always)
        return;
    if (m_ok && !m_buffer.empty())
        m_ok = m_sink(m_buffer);
    m_buffer.clear();
}

void CSheetXmlWriter::Begin(std::string_view dimension, bool selected, const std::vector<Column>& columns)
{
    m_buffer += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><dimension ref=\"";
    m_buffer += dimension;
    m_buffer += "\"/><sheetViews><sheetView ";
    if (selected)
        m_buffer += "tabSelected=\"1\" ";
    m_buffer += "workbookViewId=\"0\"/></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
    if (!columns.empty()) {
        m_buffer += "<cols>";
        for (const Column& column : columns) {
            m_buffer += "<col min=\"";
            AppendInteger(m_buffer, column.first + 1);
            m_buffer += "\" max=\"";
            AppendInteger(m_buffer, column.last + 1);
            m_buffer += "\" width=\"";
            AppendWidth(m_buffer, StoredWidth(column.width));
            m_buffer += '"';
            if (column.style != 0) {
                m_buffer += " style=\"";
                AppendInteger(m_buffer, static_cast<std::uint64_t>(column.style));
                m_buffer += '"';
            }
            m_buffer += " customWidth=\"1\"/>";
        }
        m_buffer += "</cols>";
    }
    m_buffer += "<sheetData>";
}

void CSheetXmlWriter::BeginRow(std::uint32_t row, double height)
{
    m_row.clear();
    AppendInteger(m_row, static_cast<std::uint64_t>(row) + 1);
    m_buffer += "<row r=\"";
    m_buffer += m_row;
    m_buffer += '"';
    if (height > 0) {
        m_buffer += " ht=\"";
        AppendWidth(m_buffer, height);
        m_buffer += "\" customHeight=\"1\"";
    }
    m_buffer += '>';
}

void CSheetXmlWriter::CellStart(unsigned column, int style)
{
    while (m_columnNames.size() <= column) {
        std::string name;
        CCellText::AppendColumnName(name, static_cast<unsigned>(m_columnNames.size()));
        m_columnNames.push_back(std::move(name));
    }
    m_buffer += "<c r=\"";
    m_buffer += m_columnNames[column];
    m_buffer += m_row;
    m_buffer += '"';
    if (style != 0) {
        m_buffer += " s=\"";
        AppendInteger(m_buffer, static_cast<std::uint64_t>(style));
        m_buffer += '"';
    }
}

void CSheetXmlWriter::Text(unsigned column, std::string_view text, int style)
{
    CellStart(column, style);
    m_buffer += " t=\"s\"><v>";
    AppendInteger(m_buffer, m_strings.Add(text));
    m_buffer += "</v></c>";
}

void CSheetXmlWriter::Number(unsigned column, double value, int style)
{
    CellStart(column, style);
    m_buffer += "><v>";
    if (!CCellText::AppendNumber(m_buffer, value))
        m_ok = false;
    m_buffer += "</v></c>";
}

void CSheetXmlWriter::Blank(unsigned column, int style)
{
    CellStart(column, style);
    m_buffer += "/>";
}

void CSheetXmlWriter::EndRow()
{
    m_buffer += "</row>";
    Flush(false);
}

bool CSheetXmlWriter::End(const std::vector<std::string>& merges)
{
    m_buffer += "</sheetData>";
    if (!merges.empty()) {
        m_buffer += "<mergeCells count=\"";
        AppendInteger(m_buffer, merges.size());
        m_buffer += "\">";
        for (const std::string& merge : merges) {
            m_buffer += "<mergeCell ref=\"";
            m_buffer += merge;
            m_buffer += "\"/>";
        }
        m_buffer += "</mergeCells>";
    }
    m_buffer += "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
                "</worksheet>";
    Flush(true);
    return m_ok;
}
