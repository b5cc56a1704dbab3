// What the simulator says of its modules when asked at its terminal: every module's
// printout, to compare with sim::state_text of the modules expected.
#pragma once

#include <QString>

#include <optional>

#include "testbed/simulator.h"

namespace tarvok::test {

// The lines from the first module's "状态 地址=" line on; its answer to "?", asked
// right after, marks the end.
inline std::optional<QString> state(testbed::Simulator& sim, int wait_ms = 5000) {
    if (!sim.running()) {
        return std::nullopt;
    }
    sim.type("s\n?\n");
    auto line = sim.take_line(QStringLiteral("状态 地址="), wait_ms);
    QString text;
    for (; line && !line->startsWith(QStringLiteral("输入 s")); line = sim.take_line({}, wait_ms)) {
        text += *line + QLatin1Char('\n');
    }
    return line ? std::optional(text) : std::nullopt;
}

}  // namespace tarvok::test
