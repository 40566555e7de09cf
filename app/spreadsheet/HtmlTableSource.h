#pragma once

#include "SheetSource.h"

#include <string>
#include <vector>

// A web page holding a table, as many web systems export under an .xls
// name: the rows and cells of its tables in document order, as text.
class CHtmlTableSource : public CSheetSource
{
public:
    bool Open(const std::string& path);

    std::vector<std::string> SheetNames() const override;
    bool BeginSheet(std::size_t index) override;
    bool NextRow(Row& row) override;

private:
    std::vector<Row> m_rows;
    std::size_t m_next = 0;
};
