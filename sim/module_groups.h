// The modules on the simulated bus as the command line names them: address lists
// ("1-8,12") and groups of addresses that share a line ("7@19200/even"). Plain
// values, so that every refusal can be checked without starting a simulator.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "sim/line.h"
#include "sim/module_engine.h"

namespace tarvok::sim {

struct ModuleGroup {
    std::vector<std::uint8_t> addresses;  // ascending, each once
    LineSetting line;

    friend bool operator==(const ModuleGroup&, const ModuleGroup&) = default;
};

// Which part of a --module value is wrong.
enum class GroupError { addresses, baud, parity };

// "ADDRESSES[@BAUD[/PARITY]]", PARITY as none/odd/even in any case or the window's
// list text.
// Without @BAUD the group's rate is 0, for the caller to fill in.
std::variant<ModuleGroup, GroupError> parse_module_group(std::string_view text);

// The first address two groups share, and the two groups' positions.
struct Overlap {
    std::uint8_t address = 0;
    std::size_t first = 0;
    std::size_t second = 0;
};
std::optional<Overlap> find_overlap(std::span<const ModuleGroup> groups);

// One module per address, each on its group's line.
std::vector<ModuleState> modules_of(std::span<const ModuleGroup> groups);

// "地址 1-3，9600 无校验；地址 7，19200 偶校验", groups in the order given.
std::string groups_text(std::span<const ModuleGroup> groups);

}  // namespace tarvok::sim
