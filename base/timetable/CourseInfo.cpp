#include "CourseInfo.h"

CCourseInfo::~CCourseInfo() = default;
