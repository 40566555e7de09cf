#pragma once

#include "logic/editing/RowRequest.h"

#include <functional>
#include <string>
#include <vector>

class CSpreadsheetReader;

// The rows of an opened sheet handed to whoever takes them (a list editor,
// the students table): the header row first, then every record row. A row
// refused with a message ends the import with that message; a row refused
// without one is skipped.
class CSheetImport
{
public:
    // Hands one row over; answer receives the taker's reply. percent: how
    // far the reading has come, -1 for the header. False when the import
    // was stopped meanwhile (answer is not to be read then).
    using Submit =
        std::function<bool(RowMode mode, const std::vector<std::string>& cells, int percent, RowRequest& answer)>;

    enum class Outcome
    {
        Done,    // every row was handed over
        Stopped, // Submit said stop
        Failed,  // a refusal with a message, or the sheet could not be read on
    };

    struct Result
    {
        Outcome outcome = Outcome::Done;
        std::string error; // why it failed
    };

    static Result Feed(CSpreadsheetReader& reader, const Submit& submit);

    // A record row with how far the reading had come at it.
    struct Row
    {
        std::vector<std::string> cells;
        int percent = 0;
    };
    // Hands rows over several at a time: the header alone, then batches of
    // records, the first of firstBatch rows (shown at once), each next one
    // twice as large up to maxBatch. The taker takes rows from the front of
    // the batch, in order, and erases those it took; what it leaves is
    // handed to it again. answer holds its reply to the last row it took,
    // or to the first it refused with a message, after which it takes no
    // more. False when the import was stopped meanwhile.
    using SubmitBatch = std::function<bool(RowMode mode, std::vector<Row>& rows, RowRequest& answer)>;
    static Result FeedInBatches(CSpreadsheetReader& reader, const SubmitBatch& submit, std::size_t firstBatch,
                                std::size_t maxBatch);
};
