#pragma once

#include "base/timetable/FixedTimeOfObject.h"

// The fixed slots of a teacher group, keyed by its id.
class CFixedTimeOfTeacherGroup : public CFixedTimeOfObject
{
public:
    CFixedTimeOfTeacherGroup() = default;
    ~CFixedTimeOfTeacherGroup() override;
};
