#pragma once

#include <string>

// What a row handed to a list editor is for.
enum class RowMode
{
    Add = 0,     // a new row
    Replace = 1, // new cells for the selected row
    Header = 2,  // the column names of a spreadsheet, not a record
};

// Goes with every row handed to a list editor: set by the sender, answered
// by the editor.
struct RowRequest
{
    bool quiet = false;    // from a batch source: the editor shows no message of its own
    bool accepted = false; // set by the editor
    RowMode mode = RowMode::Add;
    std::string message; // why the editor refused the row
};
