#include "base/timetable/TaskSetting.h"

CTaskSetting::~CTaskSetting() = default;
