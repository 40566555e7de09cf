#pragma once

#include <climits>
#include <string_view>

// A whole number typed into a count field (a class size, a number of
// classes). Blanks around it are ignored; anything else than an optional
// sign and decimal digits is no number.
class CCountText
{
public:
    enum class Result
    {
        Number,
        NotNumber, // empty, or not a whole decimal number
        TooLarge,  // a number beyond what a count holds
    };

    static constexpr int kMax = INT_MAX;

    static Result Parse(std::string_view text, int& value);
};
