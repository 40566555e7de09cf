#include "base/records/MutexStudent.h"

#include <algorithm>

CMutexStudent::~CMutexStudent() = default;

void CMutexStudent::Copy(CMutexStudent* source)
{
    if (!source || source == this)
        return;
    CQZObject::Copy(source);
    m_students = source->m_students;
}

namespace {

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

} // namespace

bool CMutexStudent::HasStudent(const std::string& id) const
{
    return std::any_of(m_students.begin(), m_students.end(),
                       [&id](const std::string& member) { return EqualsNoCase(member, id); });
}
