#include "TaskSetting.h"

CTaskSetting::~CTaskSetting() = default;
