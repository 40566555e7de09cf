#include "FixedTimeOfClass.h"

CFixedTimeOfClass::~CFixedTimeOfClass() = default;
