// Port numbers as the operator types them: a whole number from 1 to 255, typed text
// rounded the way every number box rounds it.
#pragma once

#include <optional>
#include <string_view>

#include "protocol/number_text.h"
#include "serial/port_registry.h"

namespace tarvok::serial {

inline std::optional<int> port_number(std::string_view text) {
    const auto value = protocol::to_int16(text);
    if (!value || *value < kFirstPort || *value > kLastPort) {
        return std::nullopt;
    }
    return *value;
}

}  // namespace tarvok::serial
