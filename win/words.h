// What the operator reads when a port or a typed number fails: one sentence in
// Chinese naming what failed and what to do, as the Linux window says it. The port
// sentences are made here only until serial/ has them as plain C++ for every
// program; then port_words() goes and its callers call those.
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

// The address box holds no address from 0 to 255; nothing was sent.
std::string address_words(std::string_view typed);

}  // namespace tarvok::win
