#pragma once

#include "logic/export/WorkbookWriter.h"

#include <string>

class CDivisionTableData;

// The division table as an exported workbook: the columns and rows the
// table shows (the hidden student id left out) under the title "分班表"
// or the name of the class shown. The number, score and total columns are
// numeric.
class CDivisionTableExport
{
public:
    static const char* const kTitle; // "分班表"

    // data as filled for the table; className empty when all classes are shown.
    // Each column is as wide as its longest text (two units for a Chinese
    // character, one for others) plus a margin, within sensible bounds.
    static CWorkbookWriter::Table Build(const CDivisionTableData& data, const std::string& className);
};
