#include "TeacherInfo.h"

CTeacherInfo::~CTeacherInfo() = default;
