#include "CoursePreset.h"

CCoursePreset::~CCoursePreset() = default;
