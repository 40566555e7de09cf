#pragma once

#include "core/DivisionOwner.h"

// What quillon-cli exits with. 0, 1 and 2 are a division's own result codes;
// the other commands end with Done when they succeed.
enum class ExitCode : int
{
    Done = DIVISION_RESULT_DONE,         // every student placed; any other command: success
    Refused = DIVISION_RESULT_REFUSED,   // the checks refused the run (balance: not divided yet)
    Unplaced = DIVISION_RESULT_UNPLACED, // some students were not placed
    Usage = 3,
    Task = 4,            // task missing or damaged
    NotFound = 5,        // no class (or subject) of that name
    Failed = 6,          // the run did not end
    NotSaved = 7,        // divided, imported or changed, but the files were not written; or a change of
                         // the division rules refused since their file cannot be read (nothing written)
    NotWritten = 8,      // the PDF, the workbook or the picture could not be written
    Import = 9,          // the spreadsheet could not be imported
    Locked = 10,         // another program is changing the task
    NoStudent = 11,      // no student of that name or id
    Ambiguous = 12,      // several students (or classes) have that name
    PresetClass = 13,    // a pre-assigned student would leave its class
    ExclusiveGroup = 14, // two members of an exclusive group would share a class
    Capacity = 15,       // a class would exceed its planned number
    NameExists = 16,     // a class of that name (as the classes editor compares names) exists
    TooFewMembers = 17,  // only one typed name of an exclusive group is a student's
    NoPreset = 18,       // the student has no pre-assignment
    HoldsTask = 19,      // new-task: the folder holds (part of) another task; nothing was written
    TogetherGroup = 20,  // students who must share a class would be in different classes
    SameName = 21,       // students of one name (or sound) kept apart would share a class
    Mismatch = 22,       // verify: the task is not what its lottery record says ("不一致")
    NoRecord = 23,       // verify, draw-teachers: no readable lottery record in the task folder
};
