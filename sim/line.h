// A serial line as a UART sees it: its rate and its parity. A module runs at one,
// the host's port at another, and a module hears the host only when both agree.
#pragma once

#include <cstdint>
#include <string>

#include "protocol/request.h"

namespace tarvok::sim {

using protocol::LineSetting;

// "19200 波特", or "19200 波特 偶校验" when the line has parity.
inline std::string line_text(const LineSetting& line) {
    std::string text = std::to_string(line.baud) + " 波特";
    if (line.parity != protocol::Parity::none) {
        text += ' ';
        text += protocol::name_in(protocol::kParities, line.parity);
    }
    return text;
}

}  // namespace tarvok::sim
