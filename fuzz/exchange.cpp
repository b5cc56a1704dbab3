// The bus engine and the plan runner under a far end the fuzzer scripts, within what
// the engine is built to tell apart: each frame answered after any delay up to four
// deadlines (its earlier replies included) or never, every reply copied after one fixed
// delay up to the first reply's watch or never, echoes, replies in pieces, and noise
// that holds no reply of the module and never falls inside one. Whatever it does, no setting is done or refused unless the module
// answered that very frame, no line is proven unless the module answered at it, no
// frame goes out while a reply is being written, nothing goes out after a stop, and
// the run ends.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "plan/runner.h"
#include "protocol/scan.h"
#include "tests/support/far_end.h"

namespace {

using namespace tarvok;
using bus::Micros;

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

struct Collector : plan::RunListener {
    void step_started(std::size_t, std::size_t) override {}
    void step_finished(const plan::StepResult&) override { ++finished; }
    void remarked(const plan::Remark&) override {}
    void run_finished(plan::RunEnd) override { ended = true; }
    int finished = 0;
    bool ended = false;
};

plan::PlanStep step_of(FuzzedDataProvider& in, int line) {
    plan::PlanStep s;
    s.line = line;
    s.address = in.ConsumeBool() ? 1 : 2;  // only module 1 is on the bus
    const auto channel = in.ConsumeIntegralInRange<std::uint8_t>(1, 4);
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
        s.request = protocol::ModeSetting{channel, protocol::Mode::linked};
        break;
    case 1:
        s.request = protocol::PowerOnSetting{channel, protocol::PowerOn::on};
        break;
    default:
        s.request = protocol::LineSetting{in.ConsumeBool() ? 9600U : 19200U, protocol::Parity::none};
        break;
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    constexpr int kDeadlineMs = 117;  // at 9600 baud
    test::Script script;
    std::vector<int> delays;
    for (int i = in.ConsumeIntegralInRange(1, 6); i > 0; --i) {
        delays.push_back(in.ConsumeIntegralInRange(-1, 4 * kDeadlineMs));
    }
    script.trickle_ms = in.ConsumeIntegralInRange(0, 20);
    script.echo = in.ConsumeIntegralInRange(0, 2);
    script.copy_ms = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 3 * kDeadlineMs) : -1;
    test::FarEnd far(script);
    far.answer_each_after(delays);
    far.answer_within(4 * kDeadlineMs);
    std::vector<plan::PlanStep> steps;
    for (int i = in.ConsumeIntegralInRange(1, 6); i > 0; --i) {
        steps.push_back(step_of(in, static_cast<int>(steps.size()) + 2));
    }
    plan::RunSettings settings;
    settings.retries = in.ConsumeIntegralInRange(0, 2);
    settings.follow = in.ConsumeBool();
    const int stop_after = in.ConsumeIntegralInRange(-1, 6);
    // Noise from elsewhere: bytes below the reply's start byte never make a reply.
    for (int i = in.ConsumeIntegralInRange(0, 8); i > 0; --i) {
        const Micros at = far.now() + std::chrono::milliseconds(in.ConsumeIntegralInRange(0, 3000));
        far.inject(at, {in.ConsumeIntegralInRange<std::uint8_t>(0, 0x21)});
    }
    Collector collector;
    plan::Runner runner(far, settings, steps, collector);
    runner.start();
    std::optional<Micros> stopped_at;
    const bool ended = far.run(
        [&] {
            if (collector.finished == stop_after && !stopped_at) {
                stopped_at = far.now();
                runner.stop();
            }
            return collector.ended;
        },
        far.now() + std::chrono::minutes(10));
    require(ended, "the run never ended");
    for (const auto& r : runner.results()) {
        const bool claimed = r.outcome == plan::Outcome::done || r.outcome == plan::Outcome::refused;
        require(!claimed || far.answered(r.frame, r.line), "claimed a frame the module never answered");
        require(!r.proven || far.answered(protocol::no_op_frame(r.step.address, *r.moved_to), *r.moved_to),
                "proved a line the module never answered at");
    }
    require(far.sent_over_reply() == 0, "sent while a reply was being written");
    for (const auto& heard : far.heard()) {
        require(!stopped_at || heard.at <= *stopped_at, "sent after the stop");
    }
    return 0;
}
