// Frames and module states as the simulator's tests write them.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <span>
#include <vector>

#include "protocol/request.h"
#include "sim/module_engine.h"

namespace tarvok::test {

using protocol::Mode;
using sim::ModuleState;

inline QByteArray bytes(const protocol::Frame& f) {
    return {reinterpret_cast<const char*>(f.data()), 8};
}
inline QByteArray command(int address, const protocol::Request& request) {
    return bytes(protocol::encode(static_cast<std::uint8_t>(address), request));
}
inline std::span<const std::uint8_t> span(const QByteArray& b) {
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), static_cast<size_t>(b.size())};
}

using Bus = std::vector<ModuleState>;
// The state text of the bus after `edit` on the module at `address` (none for -1).
inline QString state_after(Bus modules, int address = -1,
                           const std::function<void(ModuleState&)>& edit = {}) {
    for (auto& m : modules)
        if (m.address == address) edit(m);
    return QString::fromStdString(state_text(modules));
}
inline void self_lock3(ModuleState& m) { m.channels[2].mode = Mode::self_lock; }

}  // namespace tarvok::test
