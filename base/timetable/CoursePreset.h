#pragma once

#include "base/timetable/FixedTimeOfObject.h"

// The slots a course is fixed to, keyed by the course's id.
class CCoursePreset : public CFixedTimeOfObject
{
public:
    CCoursePreset() = default;
    ~CCoursePreset() override;
};
