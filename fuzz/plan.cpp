// Plan files: any bytes are either a list of settings or errors naming lines of the
// text. Read in two pieces cut anywhere, they read the same. Every setting accepted
// encodes to a frame that decodes back to it, and the plan written out again in plain
// aliases (UTF-8, whatever the input's encoding) reads back to the same settings.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "plan/plan_input.h"
#include "plan/setting_words.h"

namespace {

using namespace tarvok;
using plan::PlanStep;

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

std::string channel(std::uint8_t c) {
    return c == protocol::kAllChannels ? "all" : std::to_string(c);
}

// One plan line for a step, in aliases.
std::string written(const PlanStep& s) {
    std::string line = std::to_string(s.address) + ",";
    if (const auto* m = std::get_if<protocol::ModeSetting>(&s.request)) {
        return line + "mode," + channel(m->channel) + "," +
               std::string(protocol::find_value(protocol::kModes, m->mode)->alias);
    }
    if (const auto* p = std::get_if<protocol::PowerOnSetting>(&s.request)) {
        return line + "power-on," + channel(p->channel) + " " +
               std::string(protocol::find_value(protocol::kPowerOnStates, p->state)->alias);
    }
    const auto& l = std::get<protocol::LineSetting>(s.request);
    return line + "line," + std::to_string(l.baud) + "," +
           std::string(protocol::find_value(protocol::kParities, l.parity)->alias);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    const plan::Plan plan = plan::parse_plan(text);
    plan::PlanReader pieces;
    const std::size_t cut = size == 0 ? 0 : data[size - 1] % size;  // where the input says
    pieces.feed(text.substr(0, cut));
    pieces.feed(text.substr(cut));
    pieces.finish();
    require(pieces.plan() == plan, "read in two pieces, it reads otherwise");
    for (const auto& error : plan.errors) {
        require(error.line >= 0 && error.line <= lines && !error.message.empty(), "error line");
    }
    if (!plan.ok()) {
        require(plan.steps.empty(), "a faulty plan keeps settings");
        return 0;
    }
    std::string again = "address,setting,arguments";  // each step back on its own line number
    int at = 1;
    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        const PlanStep& s = plan.steps[i];
        require(s.line >= 2 && s.line <= lines && (i == 0 || s.line > plan.steps[i - 1].line),
                "line");
        const auto decoded = protocol::decode(protocol::encode(s.address, s.request));
        const auto* request = std::get_if<protocol::Request>(&decoded);
        require(request && *request == s.request, "frame round trip");
        again += std::string(std::size_t(s.line - std::exchange(at, s.line)), '\n') + written(s);
    }
    require(plan::parse_plan(again) == plan, "the plan written out reads otherwise");
    return 0;
}
