#pragma once

#include "logic/editing/RowRequest.h"

#include <QString>

#include <string>
#include <vector>

// What the import wizard hands its rows to (a list editor). The wizard
// knows nothing else of the editor.
class CImportReceiver
{
public:
    virtual ~CImportReceiver() = default;

    // An import is about to push rows; the receiver remembers its rows so
    // that UndoImport can put them back.
    virtual void BeginImport() = 0;
    // Puts the rows back as BeginImport found them; false when it cannot.
    virtual bool UndoImport() = 0;
    // A line for the import's closing message; empty for none.
    virtual QString ImportNote() const = 0;
    // Takes one row on the window thread: 0 and request.accepted when it was
    // taken, -1 when refused (request.message may say why).
    virtual int SubmitRow(RowRequest& request, const std::vector<std::string>& row) = 0;
    // Around the rows of one batch of an import: a receiver may put off
    // what it does for each row to show it (scrolling to it, the count)
    // until the batch's end.
    virtual void BeginRows() {}
    virtual void EndRows() {}
    // The rows the receiver holds now.
    virtual int rowCount() const = 0;

protected:
    CImportReceiver() = default;
    CImportReceiver(const CImportReceiver&) = default;
    CImportReceiver& operator=(const CImportReceiver&) = default;
};
