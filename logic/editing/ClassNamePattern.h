#pragma once

#include <string>
#include <vector>

// One numbering pattern of the batch add of classes: the classes are named
// prefix, number and suffix, the number counting from 1.
struct ClassNamePattern
{
    // The largest number of classes one batch makes.
    static constexpr int kMaxClasses = 99;

    int id = 0; // 1 to 5
    std::string description;
    int numberOfClasses = 4;
    int studentsPerClass = 40;
    std::string prefix;
    std::string suffix;

    // The name of the class at zero-based position: "高一(1)班" when the
    // pattern has both a prefix and a suffix, "1" or "小1" otherwise. The
    // parentheses are half-width.
    std::string ClassName(int position) const;

    // The five patterns in the order the batch dialog offers them.
    static std::vector<ClassNamePattern> Patterns();
};
