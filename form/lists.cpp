#include "form/lists.h"

#include "protocol/request.h"
#include "protocol/tables.h"

namespace tarvok::form {

namespace {

template <typename Value, std::size_t N>
std::vector<Entry> named(const std::array<protocol::Named<Value>, N>& table,
                         words::Language language) {
    std::vector<Entry> out;
    for (const auto& entry : table) {
        out.push_back(
            {std::string(protocol::shown(entry, language)), static_cast<int>(entry.value)});
    }
    return out;
}

std::vector<Entry> channels(words::Language language) {
    std::vector<Entry> out;
    for (int channel = 1; channel <= protocol::kChannelCount; ++channel) {
        const auto number = static_cast<std::uint8_t>(channel);
        out.push_back({protocol::channel_entry(number, language), channel});
    }
    out.push_back(
        {protocol::channel_entry(protocol::kAllChannels, language), protocol::kAllChannels});
    return out;
}

std::vector<Entry> bauds() {
    std::vector<Entry> out;
    for (const auto& entry : protocol::kBaudCodes) {
        out.push_back({std::to_string(entry.baud), static_cast<int>(entry.baud)});
    }
    return out;
}

}  // namespace

std::vector<Entry> entries(List list) { return entries(list, words::language()); }

std::vector<Entry> entries(List list, words::Language language) {
    switch (list) {
    case List::none:
        return {};
    case List::channels:
        return channels(language);
    case List::modes:
        return named(protocol::kModes, language);
    case List::power_on_states:
        return named(protocol::kPowerOnStates, language);
    case List::bauds:
        return bauds();
    case List::parities:
        return named(protocol::kParities, language);
    }
    return {};
}

}  // namespace tarvok::form
