#include "base/timetable/FixedTimeOfClass.h"

CFixedTimeOfClass::~CFixedTimeOfClass() = default;
