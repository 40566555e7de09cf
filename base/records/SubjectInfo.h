#pragma once

#include "base/object/QZObject.h"

#include <string>

class CSubjectInfo : public CQZObject
{
public:
    CSubjectInfo() = default;
    CSubjectInfo(const CSubjectInfo&) = default;
    CSubjectInfo& operator=(const CSubjectInfo&) = default;
    ~CSubjectInfo() override;

    using CQZObject::Copy;
    virtual void Copy(CSubjectInfo* source);

    std::string GetShortName() const { return m_shortName.empty() ? GetName() : m_shortName; }
    void SetShortName(const std::string& shortName) { m_shortName = shortName; }

private:
    std::string m_shortName;
};
