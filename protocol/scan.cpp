#include "protocol/scan.h"

#include "protocol/protocol_words.h"

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
    return words::fill(word(ProtocolWord::found_again),
                       {std::to_string(address), line_words(again), line_words(first)});
}

}  // namespace tarvok::protocol
