#pragma once

#include "base/timetable/FixedTimeOfObject.h"

// The fixed slots of a class, keyed by its id.
class CFixedTimeOfClass : public CFixedTimeOfObject
{
public:
    CFixedTimeOfClass() = default;
    ~CFixedTimeOfClass() override;
};
