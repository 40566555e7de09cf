#include "base/timetable/CoursePreset.h"

CCoursePreset::~CCoursePreset() = default;
