#pragma once

#include "logic/lottery/LotteryInput.h"

#include <map>
#include <optional>
#include <string>

class CScheduleTask;

// The canonical texts of a lottery division: what the input digest and the
// result digest are taken of. They depend on the task's values only, never
// on the bytes of its files (attribute order, encoding, line ends), the
// order of its lists or its folder. docs/lottery.md describes them line by
// line; in short, UTF-8, one record a line, fields separated by a tab, "\"
// escaping a backslash, tab, line feed or carriage return in a field ("\\",
// "\t", "\n", "\r"), every line ended by a line feed:
//
//   quillon-lottery-input 1
//   subject<TAB>1<TAB>语文                      column order
//   condition<TAB>1<TAB>#住校                   column order
//   setting<TAB>same-name-apart<TAB>0|1
//   setting<TAB>same-sound-apart<TAB>0|1
//   setting<TAB>score-bands<TAB>10,30,60        empty when off
//   class<TAB>ID<TAB>NAME<TAB>PLANNED           by ID
//   student<TAB>ID<TAB>NAME<TAB>SEX<TAB>SCHOOL[<TAB>SCORE]…   by ID
//   conditions<TAB>ID[<TAB>VALUE]…              by ID, students with a value
//   preset<TAB>STUDENT<TAB>CLASS                by STUDENT
//   exclusive<TAB>GROUP[<TAB>MEMBER]…           by GROUP, members sorted
//   together<TAB>GROUP[<TAB>MEMBER]…            by GROUP, members sorted
//
//   quillon-lottery-result 1
//   STUDENT<TAB>CLASS                           by STUDENT; CLASS empty when unplaced
class CLotteryCanonicalForm
{
public:
    // student id -> class id ("" when unplaced), sorted by student id.
    using Division = std::map<std::string, std::string>;

    static CLotteryInput InputOf(const CScheduleTask& task);
    static std::string InputText(const CLotteryInput& input);
    // The input a text describes; nothing when it is not such a text.
    static std::optional<CLotteryInput> ParseInput(const std::string& text);

    static Division DivisionOf(const CScheduleTask& task);
    static std::string DivisionText(const Division& division);

    // Fills an empty task with the input: its lists in the canonical order,
    // so that the division of the task depends on the input alone.
    static void BuildTask(const CLotteryInput& input, CScheduleTask& task);
};
