#include "sim/module_groups.h"

#include <algorithm>
#include <array>

#include "protocol/number_text.h"

namespace tarvok::sim {

namespace {

std::optional<std::uint8_t> address(std::string_view text) {
    const auto value = protocol::whole_number(text, 0, 255);
    return value ? std::optional(static_cast<std::uint8_t>(*value)) : std::nullopt;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> parse_address_list(std::string_view text) {
    std::array<bool, 256> on{};
    while (true) {
        const auto comma = text.find(',');
        const std::string_view part = text.substr(0, comma);
        const auto dash = part.find('-');
        const auto first = address(part.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : address(part.substr(dash + 1));
        if (!first || !last || *last < *first) {
            return std::nullopt;
        }
        std::fill(on.begin() + *first, on.begin() + *last + 1, true);
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    std::vector<std::uint8_t> addresses;
    for (std::size_t a = 0; a < on.size(); ++a) {
        if (on[a]) {
            addresses.push_back(static_cast<std::uint8_t>(a));
        }
    }
    return addresses;
}

std::string address_list_text(const std::vector<std::uint8_t>& addresses) {
    std::string text;
    for (std::size_t i = 0; i < addresses.size();) {
        std::size_t j = i;
        while (j + 1 < addresses.size() && addresses[j + 1] == addresses[j] + 1) {
            ++j;
        }
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(addresses[i]);
        if (j > i) {
            text += '-';
            text += std::to_string(addresses[j]);
        }
        i = j + 1;
    }
    return text;
}

std::optional<std::uint32_t> parse_baud(std::string_view text) {
    const auto baud = protocol::whole_number(text, 1, protocol::kBaudCodes.back().baud);
    if (baud && protocol::code_for_baud(*baud)) {
        return baud;
    }
    return std::nullopt;
}

std::variant<ModuleGroup, GroupError> parse_module_group(std::string_view text) {
    const auto at = text.find('@');
    auto addresses = parse_address_list(text.substr(0, at));
    if (!addresses) {
        return GroupError::addresses;
    }
    ModuleGroup group{std::move(*addresses), Line{0}};
    if (at == std::string_view::npos) {
        return group;
    }
    const std::string_view line = text.substr(at + 1);
    const auto slash = line.find('/');
    const auto baud = parse_baud(line.substr(0, slash));
    if (!baud) {
        return GroupError::baud;
    }
    group.line.baud = *baud;
    if (slash == std::string_view::npos) {
        return group;
    }
    const auto* parity = protocol::find_text(protocol::kParities, line.substr(slash + 1));
    if (parity == nullptr) {
        return GroupError::parity;
    }
    group.line.parity = parity->value;
    return group;
}

std::optional<Overlap> find_overlap(std::span<const ModuleGroup> groups) {
    std::array<std::optional<std::size_t>, 256> owner{};
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (const auto a : groups[g].addresses) {
            if (owner[a]) {
                return Overlap{a, *owner[a], g};
            }
            owner[a] = g;
        }
    }
    return std::nullopt;
}

std::vector<ModuleState> modules_of(std::span<const ModuleGroup> groups) {
    std::vector<ModuleState> modules;
    for (const auto& group : groups) {
        for (const auto a : group.addresses) {
            modules.push_back(ModuleState{a, group.line.baud, group.line.parity});
        }
    }
    return modules;
}

std::string groups_text(std::span<const ModuleGroup> groups) {
    std::string text;
    for (const auto& group : groups) {
        text += (text.empty() ? "地址 " : "；地址 ") + address_list_text(group.addresses) + "，" +
                line_text(group.line);
    }
    return text;
}

}  // namespace tarvok::sim
