// A line as the window's serial control writes its settings: "9600,n,8,1".
#pragma once

#include <string>

#include "protocol/request.h"

namespace tarvok::serial {

std::string settings_text(const protocol::LineSetting& line);

}  // namespace tarvok::serial
