#pragma once

#include "logic/lottery/LotteryInput.h"

#include <string>
#include <vector>

// What changed between the input a draw was made from and the task's input
// now, one line per change, naming the student, class, group or rule:
// "学生 张三（s1）：数学 88 → 90". Empty when nothing changed.
class CLotteryDifference
{
public:
    static std::vector<std::string> Describe(const CLotteryInput& before, const CLotteryInput& now);
};
