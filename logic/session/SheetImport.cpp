#include "logic/session/SheetImport.h"

#include "logic/import/SpreadsheetReader.h"

#include <algorithm>

CSheetImport::Result CSheetImport::Feed(CSpreadsheetReader& reader, const Submit& submit)
{
    RowRequest answer;
    if (!submit(RowMode::Header, reader.GetHeader(), -1, answer))
        return {Outcome::Stopped, {}};
    if (!answer.accepted && !answer.message.empty())
        return {Outcome::Failed, answer.message};

    const int rows = std::max(reader.GetRowCount(), 1);
    std::vector<std::string> cells;
    int position = 0;
    while (reader.ReadRecord(cells, position)) {
        answer = RowRequest();
        if (!submit(RowMode::Add, cells, position * 100 / rows, answer))
            return {Outcome::Stopped, {}};
        if (!answer.accepted && !answer.message.empty())
            return {Outcome::Failed, answer.message};
    }
    if (reader.Failed())
        return {Outcome::Failed, reader.GetFailureText()};
    return {};
}
