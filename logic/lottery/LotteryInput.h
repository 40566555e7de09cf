#pragma once

#include <string>
#include <vector>

// Everything of a task that decides its division, as plain values: the
// students with every score and condition value, the classes, the
// pre-assignments, the groups and the division rules. Each list is sorted
// by its key (byte order of the identifiers); the subjects and condition
// columns keep their column order, which gives the scores and values their
// meaning.
struct CLotteryInput
{
    struct Class
    {
        std::string id;
        std::string name;
        unsigned planned = 0; // planned number of students

        bool operator==(const Class&) const = default;
    };

    struct Student
    {
        std::string id;
        std::string name;
        int sex = 1; // 0 girl
        std::string school;
        std::vector<std::string> scores;     // one text per subject, as typed
        std::vector<std::string> conditions; // one per condition column; empty when it has none

        bool operator==(const Student&) const = default;
    };

    struct Group
    {
        std::string id;
        std::vector<std::string> members; // sorted

        bool operator==(const Group&) const = default;
    };

    struct Preset
    {
        std::string studentId;
        std::string classId;

        bool operator==(const Preset&) const = default;
    };

    std::vector<std::string> subjects;
    std::vector<std::string> conditionNames;
    bool sameNameApart = false;
    bool sameSoundApart = false;
    std::vector<int> scoreBands; // empty: off
    std::vector<Class> classes;
    std::vector<Student> students;
    std::vector<Preset> presets;
    std::vector<Group> exclusiveGroups;
    std::vector<Group> togetherGroups;

    bool operator==(const CLotteryInput&) const = default;
};
