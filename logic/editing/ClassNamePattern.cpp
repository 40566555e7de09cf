#include "logic/editing/ClassNamePattern.h"

std::string ClassNamePattern::ClassName(int position) const
{
    const std::string number = std::to_string(position + 1);
    if (prefix.empty() || suffix.empty())
        return prefix + number + suffix;
    return prefix + "(" + number + ")" + suffix;
}

std::vector<ClassNamePattern> ClassNamePattern::Patterns()
{
    auto pattern = [](int id, const char* description, const char* prefix, const char* suffix) {
        ClassNamePattern p;
        p.id = id;
        p.description = description;
        p.prefix = prefix;
        p.suffix = suffix;
        return p;
    };
    return {pattern(1, "数字编号", "", ""), pattern(2, "幼儿园小班", "小", "班"), pattern(3, "小学一年级", "一", "班"),
            pattern(4, "初中一年级", "初一", "班"), pattern(5, "高中一年级", "高一", "班")};
}
