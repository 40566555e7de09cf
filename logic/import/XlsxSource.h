#pragma once

#include "logic/import/SheetSource.h"
#include "logic/import/SheetText.h"
#include "logic/import/ZipArchive.h"

#include "logic/import/XmlPullParser.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An .xlsx workbook: the sheet parts are read as a stream, so a sheet of
// any length is read in little memory; shared strings are kept in one block.
class CXlsxSource : public CSheetSource
{
public:
    // Bounds on what the parts of a workbook may inflate to.
    struct Limits
    {
        std::uint64_t sheet = 2048ull << 20;
        std::uint64_t sharedStrings = 512ull << 20;
        std::uint64_t smallPart = 32ull << 20; // workbook, relationships, styles
        std::uint64_t storedText = 256ull << 20;
    };

    CXlsxSource();
    explicit CXlsxSource(const Limits& limits);
    ~CXlsxSource() override;

    bool Open(const std::string& path);

    std::vector<std::string> SheetNames() const override;
    bool BeginSheet(std::size_t index) override;
    bool NextRow(Row& row) override;

private:
    struct Sheet
    {
        std::string name;
        std::string part;
    };
    using DateForm = std::optional<CSheetText::DateForm>;

    bool ReadWorkbook();
    bool ReadSharedStrings(const std::string& part);
    bool ReadStyles(const std::string& part);
    // Reads a whole part through the pull parser; false with m_error set.
    bool OpenStream(const std::string& part, std::uint64_t limit);
    bool StreamFailed();
    // Reads a whole part, handing every token but the end to visit, which
    // returns false to stop with m_error set.
    bool ReadPart(const std::string& part, std::uint64_t limit,
                  const std::function<bool(CXmlPullParser::Token)>& visit);
    std::string_view SharedString(std::size_t index) const;
    bool ReadCell(Row& row, int& nextColumn);

    Limits m_limits;
    CZipArchive m_zip;
    std::vector<Sheet> m_sheets;
    bool m_date1904 = false;
    std::vector<DateForm> m_styleForms; // per cell format index
    std::string m_stringData;
    std::vector<std::size_t> m_stringEnds;

    std::unique_ptr<CZipArchive::CMember> m_member;
    std::unique_ptr<CXmlPullParser> m_parser;
    bool m_inSheetData = false;
    bool m_sheetDone = false;
    int m_lastRow = -1;
    std::size_t m_rowBytes = 0; // text of the row being read
    std::string m_value;        // scratch: a cell's value text
};
