#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CClassInfo;

// One class during a division run: its capacity and the students dealt to it
// so far. Students are kept as positions in the run's student table, in
// placing order, girls and boys apart.
class CClassSlot
{
public:
    CClassSlot(std::string classId, CClassInfo* classInfo, std::uint32_t capacity)
        : m_classId(std::move(classId)), m_class(classInfo), m_capacity(capacity)
    {
    }

    const std::string& GetClassId() const { return m_classId; }
    CClassInfo* GetClassInfo() const { return m_class; }
    std::uint32_t GetCapacity() const { return m_capacity; }

    std::uint32_t GetOccupancy() const { return static_cast<std::uint32_t>(m_girls.size() + m_boys.size()); }
    bool HasRoom() const { return GetOccupancy() < m_capacity; }
    float GetScoreSum() const { return m_boyScoreSum + m_girlScoreSum; }

    void AddGirl(int student, float score)
    {
        m_girls.push_back(student);
        m_girlScoreSum += score;
    }
    void AddBoy(int student, float score)
    {
        m_boys.push_back(student);
        m_boyScoreSum += score;
    }

    const std::vector<int>& GetGirls() const { return m_girls; }
    const std::vector<int>& GetBoys() const { return m_boys; }
    float GetGirlScoreSum() const { return m_girlScoreSum; }
    float GetBoyScoreSum() const { return m_boyScoreSum; }

private:
    std::string m_classId;
    CClassInfo* m_class;
    // Unsigned like the class's planned size: a very large plan must not
    // turn into a class without room.
    std::uint32_t m_capacity;
    std::vector<int> m_boys;
    std::vector<int> m_girls;
    float m_boyScoreSum = 0.0f;
    float m_girlScoreSum = 0.0f;
};
