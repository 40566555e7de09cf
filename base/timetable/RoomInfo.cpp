#include "base/timetable/RoomInfo.h"

CRoomInfo::~CRoomInfo() = default;
