// A scan of the bus: at each line in turn, the no-op line frame (protocol/scan.h) to
// each address, through the bus engine, on a line lent to it already open; it changes
// the line's rate and parity in place and never opens another device. A reply is
// credited to the address and command just sent; a late one that names an address
// asked earlier at this line can only answer that frame, so it finds that module (and
// never the one just asked). No settle between addresses, since every frame of a line
// names another address; before the line changes, every frame sent at it must be past
// answering (bus/ledger.h), so the last address asked gets its wait too and a reply
// counts only at the line it was asked at. Plain C++, driven by the line's loop.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "bus/engine.h"
#include "protocol/request.h"

namespace tarvok::bus {

struct FoundModule {
    std::uint8_t address = 0;
    protocol::LineSetting line{};
    bool late = false;  // found by a reply that came after its deadline
};

struct ScanPlan {
    std::vector<protocol::LineSetting> lines;
    std::vector<std::uint8_t> addresses;
    int retries = 0;
    std::optional<int> deadline_ms;  // from the line rate when empty
};

// What a scan costs at most with no module answering and no retry: every address at
// every line waits for its deadline, 16 bytes of wire time plus the reply margin.
std::chrono::milliseconds scan_bound(const ScanPlan& plan);

enum class ScanEnd { completed, stopped, port_lost, line_fault };

// Where a stopped scan stood: the first address of `line` not asked, then every later
// line whole.
struct ScanPosition {
    std::size_t line = 0;
    std::size_t address = 0;
};

class ScanListener {
public:
    virtual ~ScanListener() = default;
    virtual void line_started(const protocol::LineSetting& line, int index, int count) = 0;
    // After each address: how many exchanges of the whole scan are done.
    virtual void progressed(int done, int total, std::uint8_t address) = 0;
    virtual void module_found(const FoundModule& module) = 0;
    // A module already found at another line answered again (a collision, or two
    // modules at one address on different lines): listed once.
    virtual void found_again(const FoundModule& first, const protocol::LineSetting& again) = 0;
    // Every frame sent and everything heard, for a traffic record.
    virtual void noted(const Note& /*note*/) {}
    virtual void scan_finished(ScanEnd end) = 0;
};

class Scanner : public EngineListener {
public:
    Scanner(Line& line, ScanPlan plan, ScanListener& listener);

    void start();
    // Ends after the exchange in flight.
    void stop();
    bool running() const { return started_ && !ended_; }
    const std::vector<FoundModule>& found() const { return found_; }
    const ScanPlan& plan() const { return plan_; }
    ScanPosition position() const { return {line_, address_}; }
    std::optional<LineFault> fault() const { return fault_; }

    void noted(const Note& note, Owner owner) override;
    void finished(const Result& result, Owner owner) override;
    void discarded(std::span<const std::uint8_t> bytes) override;
    void learned(std::uint8_t, const Learned&, const Evidence&) override {}
    void settled() override;
    void line_faulted(LineFault which) override;
    void line_lost() override;

private:
    void next();
    void ask();
    void record(std::uint8_t address, bool late);
    void end(ScanEnd how);

    Line& line_link_;
    ScanPlan plan_;
    ScanListener& listener_;
    Engine engine_;
    std::vector<FoundModule> found_;
    std::set<std::uint8_t> asked_;  // at the current line
    std::size_t line_ = 0;
    std::size_t address_ = 0;
    bool line_ready_ = false;
    bool started_ = false;
    bool stopping_ = false;
    bool ended_ = false;
    std::optional<LineFault> fault_;
};

}  // namespace tarvok::bus
