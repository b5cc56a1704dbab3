// Finding modules without changing one. Every command changes something except one:
// the line-setting frame (device_serial) that names the very rate and parity it is
// sent at. A module hears a frame only when it runs at that rate and parity, and is
// then told to keep them; its reply, repeating the address, says that it is there
// and on which line. A module at another rate does not hear it, and garbled bytes
// fail the checksum. (A module may store the setting again: a write of the value it
// already holds.)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/frame.h"
#include "protocol/request.h"

namespace tarvok::protocol {

// The order lines are tried in: most modules leave the factory at 9600 without
// parity, and are moved to another common rate more often than to a rare one, and
// to even parity more often than to odd. So parity none first, then even, then odd;
// within each, 9600, 19200, 4800, 38400, 115200, 57600, 2400, 1200.
inline constexpr std::array<std::uint32_t, 8> kScanRates = {9600,   19200, 4800, 38400,
                                                            115200, 57600, 2400, 1200};
inline constexpr std::array<Parity, 3> kScanParities = {Parity::none, Parity::even, Parity::odd};

// Every rate the module knows, each once: the scan order is a reordering of kBaudCodes.
constexpr bool scan_rates_cover_baud_codes() {
    if (kScanRates.size() != kBaudCodes.size()) {
        return false;
    }
    for (const auto& entry : kBaudCodes) {
        int seen = 0;
        for (const std::uint32_t rate : kScanRates) {
            seen += rate == entry.baud ? 1 : 0;
        }
        if (seen != 1) {
            return false;
        }
    }
    return true;
}
static_assert(scan_rates_cover_baud_codes(), "kScanRates must list every rate of kBaudCodes once");

// The lines to try: one rate, or every rate when `baud` is empty; likewise parity.
std::vector<LineSetting> scan_lines(std::optional<std::uint32_t> baud,
                                    std::optional<Parity> parity);

// A module that answered at two lines, the same words wherever a scan is shown.
std::string found_again_words(std::uint8_t address, const LineSetting& first,
                              const LineSetting& again);

// The frame that asks the module at `address` to keep `line`: sent at `line`, it
// changes nothing.
inline Frame no_op_frame(std::uint8_t address, const LineSetting& line) {
    return encode(address, line);
}

}  // namespace tarvok::protocol
