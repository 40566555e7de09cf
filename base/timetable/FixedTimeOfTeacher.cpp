#include "FixedTimeOfTeacher.h"

CFixedTimeOfTeacher::~CFixedTimeOfTeacher() = default;
