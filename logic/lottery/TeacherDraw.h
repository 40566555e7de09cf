#pragma once

#include <string>
#include <vector>

class CScheduleTask;

// The head-teacher draw: which class (the group of students a division made)
// each head teacher gets. The classes are taken in the order of their
// identifiers, the teachers in the byte order of their names; the teachers
// are then shuffled by Fisher-Yates from the last position down, position i
// swapping with position j = the draw's generator below i + 1, and the
// class at position k gets the teacher at position k. The generator is the
// balance's (xoshiro256**, seeded through splitmix64 with the seed's
// number, CLotterySeed::Value), so that the same seed gives the same draw
// with every compiler and standard library.
class CTeacherDraw
{
public:
    struct Assignment
    {
        std::string classId;
        std::string className;
        std::string teacher;

        bool operator==(const Assignment&) const = default;
    };

    struct Class
    {
        std::string id;
        std::string name;
    };

    // The task's classes, by identifier.
    static std::vector<Class> ClassesOf(const CScheduleTask& task);
    // The head teachers the task's classes name; empty unless every class
    // names one.
    static std::vector<std::string> TeachersOf(const CScheduleTask& task);
    // The teachers of a list, one a line (a UTF-8 text file); empty lines
    // and the spaces around a name are left out.
    static std::vector<std::string> ParseTeacherList(const std::string& text);
    // Why the teachers cannot be drawn for the classes; empty when they can.
    static std::string Problem(const std::vector<Class>& classes, const std::vector<std::string>& teachers);
    static std::vector<Assignment> Draw(std::vector<Class> classes, std::vector<std::string> teachers,
                                        const std::string& seedDigits);
    // Writes the teachers into the task's classes.
    static void Apply(const std::vector<Assignment>& assignments, CScheduleTask& task);
};
