#include "logic/session/SheetImport.h"

#include "logic/import/SpreadsheetReader.h"

#include <algorithm>
#include <optional>

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

CSheetImport::Result CSheetImport::FeedInBatches(CSpreadsheetReader& reader, const SubmitBatch& submit,
                                                 std::size_t firstBatch, std::size_t maxBatch)
{
    // Hands the batch over until all of it is taken.
    auto handOver = [&submit](RowMode mode, std::vector<Row>& batch) -> std::optional<Result> {
        while (!batch.empty()) {
            RowRequest answer;
            const std::size_t before = batch.size();
            if (!submit(mode, batch, answer))
                return Result{Outcome::Stopped, {}};
            if (!answer.accepted && !answer.message.empty())
                return Result{Outcome::Failed, answer.message};
            if (batch.size() >= before) // a taker that takes nothing must not hold the import
                return Result{Outcome::Stopped, {}};
        }
        return std::nullopt;
    };

    std::vector<Row> batch(1);
    batch.front().cells = reader.GetHeader();
    batch.front().percent = -1;
    if (std::optional<Result> ended = handOver(RowMode::Header, batch))
        return *ended;

    const int rows = std::max(reader.GetRowCount(), 1);
    std::size_t size = std::max<std::size_t>(firstBatch, 1);
    Row row;
    int position = 0;
    for (;;) {
        const bool more = reader.ReadRecord(row.cells, position);
        if (more) {
            row.percent = position * 100 / rows;
            batch.push_back(std::move(row));
            row = Row();
        }
        if (batch.size() >= size || (!more && !batch.empty())) {
            if (std::optional<Result> ended = handOver(RowMode::Add, batch))
                return *ended;
            size = std::min(size * 2, std::max(maxBatch, size));
        }
        if (!more)
            break;
    }
    if (reader.Failed())
        return {Outcome::Failed, reader.GetFailureText()};
    return {};
}
