#include "base/timetable/FixedTimeOfTeacherGroup.h"

CFixedTimeOfTeacherGroup::~CFixedTimeOfTeacherGroup() = default;
