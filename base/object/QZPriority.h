#pragma once

#include <string>

// One priority code with the word shown to the user.
class CQZPriority
{
public:
    CQZPriority() = default;
    CQZPriority(int code, std::string desc) : m_code(code), m_desc(std::move(desc)) {}

    int GetCode() const { return m_code; }
    void SetCode(int code) { m_code = code; }
    std::string GetDesc() const { return m_desc; }
    void SetDesc(const std::string& desc) { m_desc = desc; }

private:
    int m_code = 0;
    std::string m_desc;
};
