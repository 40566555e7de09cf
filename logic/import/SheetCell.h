#pragma once

#include <string>

// One cell of a worksheet as the readers deliver it.
struct CSheetCell
{
    enum class Kind
    {
        Empty,  // no value
        Text,   // text holds the text
        Number, // number holds the value
        Date,   // text holds "yyyy-mm-dd", "hh:mm:ss" or both
        Other,  // a boolean or an error value: no text
    };

    Kind kind = Kind::Empty;
    double number = 0.0;
    std::string text;

    void Clear()
    {
        kind = Kind::Empty;
        number = 0.0;
        text.clear();
    }
};
