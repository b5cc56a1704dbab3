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

std::string found_again_words(std::uint8_t address, const LineSetting& first,
                              const LineSetting& again) {
    return "注意：地址 " + std::to_string(address) + " 在 " + line_words(again) + " 也有回复（先在 " +
           line_words(first) + " 找到）：可能是总线冲突，或两个模块同一地址而线路不同；只列出一次";
}

}  // namespace tarvok::protocol
