// What the operator reads when a port or a typed number fails: one sentence naming
// what failed and what to do, in the words of serial/port_words.h that the Linux
// programs use, with COMN as the device.
#pragma once

#include <string>
#include <string_view>

#include "serial/serial_fault.h"

namespace tarvok::win {

struct PortFact {
    enum class Kind { open_failed, number_invalid, lost, write_failed, read_failed };
    Kind kind;
    int port = 0;
    serial::SerialFault fault = serial::SerialFault::open_failed;
    std::string detail{};  // typed text for number_invalid; Windows' words for open_failed
};

std::string port_words(const PortFact& fact);

// "COM3": port 3 as Windows names it.
std::string com_name(int port);

// Windows' own words for one of its error codes (a DWORD), without the line end it
// puts after them; for the rare fault with no name of ours.
std::string system_words(unsigned long error);

// The address box holds no address from 0 to 255; nothing was sent.
std::string address_words(std::string_view typed);

}  // namespace tarvok::win
