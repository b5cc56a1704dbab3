#include "sim/module_groups.h"

#include <algorithm>
#include <array>

#include "cmdline/parse.h"
#include "protocol/number_text.h"
#include "sim/sim_words.h"

namespace tarvok::sim {

std::variant<ModuleGroup, GroupError> parse_module_group(std::string_view text) {
    const auto at = text.find('@');
    auto addresses = protocol::address_list(text.substr(0, at));
    if (!addresses) {
        return GroupError::addresses;
    }
    ModuleGroup group{std::move(*addresses), LineSetting{0}};
    if (at == std::string_view::npos) {
        return group;
    }
    const std::string_view line = text.substr(at + 1);
    const auto slash = line.find('/');
    const auto baud = cmdline::rate(line.substr(0, slash));
    if (!baud) {
        return GroupError::baud;
    }
    group.line.baud = *baud;
    if (slash == std::string_view::npos) {
        return group;
    }
    const auto* parity = cmdline::find_word(protocol::kParities, line.substr(slash + 1));
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
        text += (text.empty() ? std::string() : std::string(word(SimWord::group_separator))) +
                say(SimWord::group, {protocol::address_list_text(group.addresses),
                                     protocol::line_words(group.line)});
    }
    return text;
}

}  // namespace tarvok::sim
