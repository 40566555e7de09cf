#pragma once

#include <string>
#include <string_view>
#include <vector>

class CScheduleTask;

// Turns the student names typed for a group of students (an exclusive
// group, a group who share a class) into student ids.
class CMutexNameParser
{
public:
    // What kind of group is typed: its name in the messages, and whether a
    // student typed twice counts twice.
    struct Kind
    {
        const char* label; // "互斥学生组"
        bool distinct;     // a student counts once, however often typed
    };
    // An exclusive group may name one student twice.
    static constexpr Kind kExclusive{"互斥学生组", false};
    // Students who share a class are each one member.
    static constexpr Kind kTogether{"同班学生组", true};

    // The names of a typed list, in order. Names are separated by ",", "，"
    // or line breaks (spaces do not separate); blanks around a name, the
    // ideographic space included, are dropped, and so are empty names.
    static std::vector<std::string> SplitNames(std::string_view text);

    struct Match
    {
        std::vector<std::string> ids;       // the students found, in the order typed
        std::vector<std::string> names;     // their names
        std::vector<std::string> unmatched; // typed names without a student
    };

    // Finds each name among the task's students: a student matches when its
    // name without surrounding blanks equals the typed name exactly (letter
    // case counts). Of several students of one name the first in the list's
    // order is taken. A name typed twice is found twice.
    static Match MatchStudents(const CScheduleTask& task, const std::vector<std::string>& names);

    // What a typed group comes to, as the group dialog tells it: a group
    // needs two students found (one found twice counts twice unless the
    // kind is distinct, whose ids then hold each student once, in the order
    // first typed).
    struct Group
    {
        enum class Outcome
        {
            Made,
            NoName,     // nothing but separators and blanks was typed
            NoStudent,  // no typed name is a student's
            OneStudent, // only one is
        };
        Outcome outcome = Outcome::NoName;
        std::vector<std::string> ids; // the group's students, when made
        // Why no group was made; for a group made without some of the
        // typed names, those names. Empty otherwise.
        std::string message;
    };
    static Group ReadGroup(const CScheduleTask& task, std::string_view text, const Kind& kind = kExclusive);
};
