#pragma once

#include <string>
#include <string_view>

class CListRows;

// When two record names are one name: the duplicate test of the list
// editors, shared by their windows and quillon-cli.
class CNameRules
{
public:
    // A name as the duplicate test compares it: without spaces, with
    // full-width parentheses.
    static std::string NormalizeName(std::string_view name);

    // The first row of rows, other than excluded, whose cell in column is
    // the same name as name: spaces are ignored, half- and full-width
    // parentheses are the same, and Latin letters compare without regard
    // to case. -1 when there is none.
    static int FindSameName(const CListRows& rows, int column, std::string_view name, int excluded = -1);

    // What the editors say of a duplicate: "%s 已存在。".
    static std::string DuplicateMessage(std::string_view name);
};
