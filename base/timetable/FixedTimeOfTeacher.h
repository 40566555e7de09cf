#pragma once

#include "base/timetable/FixedTimeOfObject.h"

// The fixed slots of a teacher, keyed by its id.
class CFixedTimeOfTeacher : public CFixedTimeOfObject
{
public:
    CFixedTimeOfTeacher() = default;
    ~CFixedTimeOfTeacher() override;
};
