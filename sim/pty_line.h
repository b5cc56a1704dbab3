// The simulator's wire: a pseudo-terminal whose slave the host opens as its serial
// port, and the line rate the host set on it.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "sim/unique_fd.h"

namespace tarvok::sim {

struct Pty {
    UniqueFd master;  // the module's end, non-blocking
    // Held open for the whole run: while one slave fd stays open, the master never
    // reads EIO when the host closes and reopens its port.
    UniqueFd slave;
    std::string slave_path;
};

// A raw pty set to `baud`, so that a terminal program that never sets a rate is
// heard too; or a Chinese error.
std::variant<Pty, std::string> open_pty(std::uint32_t baud);

// The rate the host's end runs at; 0 for one the module cannot run at.
std::uint32_t line_baud(const Pty& pty);

}  // namespace tarvok::sim
