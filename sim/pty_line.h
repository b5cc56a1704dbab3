// The simulator's wire: a pseudo-terminal whose slave the host opens as its serial
// port, and the line the host set on it.
//
// Parity as far as a pty shows it: Linux clears PARENB on every tcsetattr of a pty
// (it keeps its pairs 8-bit clean) but keeps PARODD and the input flags. So the
// host's parity is read as: odd when PARODD is set; even when PARENB or INPCK
// (input parity checking, which a host that uses parity sets) is set without it;
// none otherwise. A host that asks for even parity without INPCK looks like 无校验.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "sim/line.h"
#include "sim/unique_fd.h"

namespace tarvok::sim {

struct Pty {
    UniqueFd master;  // the module's end, non-blocking
    // Held open for the whole run: while one slave fd stays open, the master never
    // reads EIO when the host closes and reopens its port.
    UniqueFd slave;
    std::string slave_path;
};

// A raw pty set to `line`, so that a terminal program that never sets one is heard
// by the modules on it; or a Chinese error.
std::variant<Pty, std::string> open_pty(const LineSetting& line);

// The line the host's end is set to; its rate is 0 for one no module can run at.
LineSetting host_line(const Pty& pty);

}  // namespace tarvok::sim
