// A serial line as a UART sees it: its rate and its parity. A module runs at one,
// the host's port at another, and a module hears the host only when both agree.
#pragma once

#include <cstdint>
#include <string>

#include "protocol/tables.h"

namespace tarvok::sim {

struct Line {
    std::uint32_t baud = 9600;
    protocol::Parity parity = protocol::Parity::none;

    friend bool operator==(const Line&, const Line&) = default;
};

// "19200 波特", or "19200 波特 偶校验" when the line has parity.
inline std::string line_text(const Line& line) {
    std::string text = std::to_string(line.baud) + " 波特";
    if (line.parity != protocol::Parity::none) {
        text += ' ';
        text += protocol::name_in(protocol::kParities, line.parity);
    }
    return text;
}

}  // namespace tarvok::sim
