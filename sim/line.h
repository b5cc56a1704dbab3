// A serial line as a UART sees it: its rate and its parity. A module runs at one,
// the host's port at another, and a module hears the host only when both agree.
#pragma once

#include "protocol/request.h"

namespace tarvok::sim {

using protocol::LineSetting;

}  // namespace tarvok::sim
