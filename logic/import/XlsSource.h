#pragma once

#include "logic/import/BiffReader.h"
#include "logic/import/SheetSource.h"

#include <cstdint>
#include <string>
#include <vector>

// A legacy workbook (.xls): its workbook stream, already taken out of the
// compound file, read in memory by our own record reader. A damaged stream
// gives a reason, never more memory than its records account for.
class CXlsSource : public CSheetSource
{
public:
    CXlsSource() = default;
    ~CXlsSource() override;
    CXlsSource(const CXlsSource&) = delete;
    CXlsSource& operator=(const CXlsSource&) = delete;

    // streamBytes: the workbook stream already taken out of the file.
    bool Open(std::string streamBytes);

    std::vector<std::string> SheetNames() const override;
    bool BeginSheet(std::size_t index) override;
    bool NextRow(Row& row) override;

private:
    CBiffReader m_reader;
    bool m_open = false;
    std::vector<std::string> m_names;
    // The cells of the sheet being read, and the next one to hand out.
    std::vector<CBiffReader::Cell> m_cells;
    std::size_t m_sheet = SIZE_MAX;
    std::size_t m_next = 0;
};
