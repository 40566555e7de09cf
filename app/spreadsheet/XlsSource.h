#pragma once

#include "SheetSource.h"

#include <string>
#include <vector>

// A legacy workbook (.xls). The workbook stream is taken out of its compound
// file here, checked, given sheet dimensions that match the cells it
// really holds, and handed to the legacy reader in a clean copy; so small
// workbooks kept in the mini stream, wrong dimensions and damaged
// containers are all dealt with before that reader sees the file.
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
    // Checks the record structure, refuses encrypted workbooks, fits every
    // sheet's declared dimension to its cells.
    bool RepairStream(std::string& stream);

    const void* m_handle = nullptr;
    std::string m_copyPath;
    std::vector<std::string> m_names;
    unsigned m_rows = 0;
    unsigned short m_columns = 0;
    unsigned m_nextRow = 0;
};
