#include "base/timetable/TeacherInfo.h"

CTeacherInfo::~CTeacherInfo() = default;
