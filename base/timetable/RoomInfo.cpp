#include "RoomInfo.h"

CRoomInfo::~CRoomInfo() = default;
