// Runs a plan's settings on one line through the bus engine, one at a time: each frame
// waits for its own reply (or its deadline, settle and retries) before the next goes
// out. The line is lent to it already open; it changes the line's rate and parity in
// place and never opens another device. Plain C++, driven by the line's loop.
//
//   - A setting goes out at the line its module listens at: one an earlier line setting
//     of this run moved it to (with follow), else the step's own module_line, else the
//     run's line. Before the line changes, every frame sent must be past answering.
//   - A line setting counts as done only once the module answers at its new line: the
//     scan's no-op frame for that line (protocol/scan.h), which changes nothing, must
//     be answered there. Then the run goes back to its own line unless it follows.
//   - A reply the engine cannot show to answer its frame makes the setting
//     unconfirmed, never done (bus/ledger.h).
//   - stop(): nothing more goes out; the exchange in flight ends by its deadline.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <vector>

#include "bus/engine.h"
#include "plan/step_result.h"

namespace tarvok::plan {

class RunListener {
public:
    virtual ~RunListener() = default;
    virtual void step_started(std::size_t index, std::size_t total) = 0;
    virtual void step_finished(const StepResult& result) = 0;
    virtual void remarked(const Remark& remark) = 0;
    // Every frame sent and everything heard, and every exchange's end, for a traffic
    // record (ui/traffic.h takes both).
    virtual void noted(const bus::Note& /*note*/) {}
    virtual void exchanged(const bus::Result& /*result*/) {}
    virtual void run_finished(RunEnd end) = 0;
};

class Runner : public bus::EngineListener {
public:
    Runner(bus::Line& line, RunSettings settings, const std::vector<PlanStep>& steps,
           RunListener& listener);

    void start();
    void stop();
    // Ends now, without waiting for the exchange in flight: its setting went out and is
    // left without a reply, cut off.
    void abort();
    bool running() const { return started_ && !ended_; }
    // One result per step, in plan order.
    const std::vector<StepResult>& results() const { return results_; }
    std::optional<bus::LineFault> fault() const { return fault_; }

    void noted(const bus::Note& note, bus::Owner owner) override;
    void finished(const bus::Result& result, bus::Owner owner) override;
    void discarded(std::span<const std::uint8_t> bytes) override;
    void learned(std::uint8_t address, const bus::Learned& what,
                 const bus::Evidence& now) override;
    void settled() override;
    void line_faulted(bus::LineFault which) override;
    void line_lost() override;

private:
    // A setting's own frame and the check that proves a line setting took are each an
    // owner of their own.
    static bus::Owner setting_owner(std::size_t index) { return 2 * index; }
    static bus::Owner proof_owner(std::size_t index) { return 2 * index + 1; }
    static bool is_proof(bus::Owner owner) { return owner % 2 == 1; }

    void next();
    void send_at(const protocol::LineSetting& line, const protocol::Frame& frame,
                 bus::Owner owner);
    void take_result(const bus::Result& r);
    void take_proof(const bus::Result& r);
    void step_done();
    void end(RunEnd how, Unsent why);
    protocol::LineSetting line_for(const PlanStep& step) const;
    bus::Timing timing_at(const protocol::LineSetting& line) const;

    bus::Line& line_;
    RunSettings settings_;
    RunListener& listener_;
    bus::Engine engine_;
    std::vector<StepResult> results_;
    // Modules whose line a proven line setting of this run changed.
    std::map<std::uint8_t, protocol::LineSetting> moved_;
    std::size_t index_ = 0;
    // A frame waiting for the line to settle before the line changes for it.
    struct Pending {
        protocol::LineSetting line;
        protocol::Frame frame;
        bus::Owner owner;
    };
    std::optional<Pending> pending_;
    std::optional<bus::LineFault> fault_;
    bool started_ = false;
    bool stopping_ = false;
    bool ended_ = false;
};

}  // namespace tarvok::plan
