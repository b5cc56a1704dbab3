#include "protocol/scan.h"

namespace tarvok::protocol {

std::vector<LineSetting> scan_lines(std::optional<std::uint32_t> baud,
                                    std::optional<Parity> parity) {
    std::vector<LineSetting> lines;
    for (const Parity p : kScanParities) {
        if (parity && *parity != p) {
            continue;
        }
        for (const std::uint32_t rate : kScanRates) {
            if (!baud || *baud == rate) {
                lines.push_back({rate, p});
            }
        }
    }
    return lines;
}

}  // namespace tarvok::protocol
