#include "base/timetable/CourseInfo.h"

CCourseInfo::~CCourseInfo() = default;
