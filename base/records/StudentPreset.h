#pragma once

#include "base/object/QZObject.h"

#include <string>

// Pre-assignment of one student to a class. The record's id is the
// student's id, so a student has at most one.
class CStudentPreset : public CQZObject
{
public:
    CStudentPreset() = default;
    CStudentPreset(const CStudentPreset&) = default;
    CStudentPreset& operator=(const CStudentPreset&) = default;
    ~CStudentPreset() override;

    using CQZObject::Copy;
    void Copy(CStudentPreset* source);

    std::string GetPresetClassId() const { return m_presetClassId; }
    void SetPresetClassId(const std::string& id) { m_presetClassId = id; }

private:
    std::string m_presetClassId;
};
