#pragma once

#include <string>

// Base of every task record: identifier, display name, ordering number and
// priority. Text is UTF-8 in memory.
class CQZObject
{
public:
    CQZObject() = default;
    CQZObject(const CQZObject&) = default;
    CQZObject& operator=(const CQZObject&) = default;
    virtual ~CQZObject();

    // Copies id, name, priority and index from source.
    virtual void Copy(CQZObject* source);

    std::string GetId() const { return m_id; }
    void SetId(const std::string& id) { m_id = id; }
    std::string GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    // Read-only views without a copy, for hot paths (sorting, lookups).
    const std::string& IdRef() const { return m_id; }
    const std::string& NameRef() const { return m_name; }

    int GetIndex() const { return m_index; }
    void SetIndex(int index) { m_index = index; }
    int GetPriority() const { return m_priority; }
    void SetPriority(int priority) { m_priority = priority; }

    bool IsValid() const { return !m_id.empty(); }

private:
    std::string m_id;
    std::string m_name;
    int m_index = 0;
    int m_priority = 1;
};
