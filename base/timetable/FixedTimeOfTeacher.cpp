#include "base/timetable/FixedTimeOfTeacher.h"

CFixedTimeOfTeacher::~CFixedTimeOfTeacher() = default;
