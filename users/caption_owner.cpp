#include "users/caption_owner.h"

Caption_Owner* The_Caption_Owner = nullptr;
