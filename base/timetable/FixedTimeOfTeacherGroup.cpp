#include "FixedTimeOfTeacherGroup.h"

CFixedTimeOfTeacherGroup::~CFixedTimeOfTeacherGroup() = default;
