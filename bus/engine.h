// The bus engine: one half-duplex exchange at a time over a Line (bus/line.h), the one
// judge of what is heard on it. Before a frame goes out the line must have been quiet
// for a reply's gap and every earlier frame a reply to it could be taken for must be
// past answering (bus/ledger.h); what waits on the line then is reported and dropped.
// What arrives and the time that passes drive the Exchange rules (bus/exchange.h); what
// the modules show is learnt for the rest of the run. Plain C++: every platform drives
// it through its Line, and a window's own frames are judged by it too (observe()).
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "bus/exchange.h"
#include "bus/ledger.h"
#include "bus/line.h"

namespace tarvok::bus {

// The owner of what is heard before any frame went out.
inline constexpr Owner kNoOwner = ~Owner{0};

class EngineListener {
public:
    virtual ~EngineListener() = default;
    // Something met on the line during or after the exchange for `owner`.
    virtual void noted(const Note& note, Owner owner) = 0;
    // Once per exchange; the handler may start the next one.
    virtual void finished(const Result& result, Owner owner) = 0;
    // Bytes that might have begun a frame, dropped as a frame goes out.
    virtual void discarded(std::span<const std::uint8_t> bytes) = 0;
    // A module showed something new about its replies (bus/ledger.h).
    virtual void learned(std::uint8_t address, const Learned& what, const Evidence& now) = 0;
    // After settle(): nothing sent can still be answered.
    virtual void settled() {}
    virtual void line_faulted(LineFault which) = 0;
    virtual void line_lost() = 0;
};

class Engine : public LineListener {
public:
    Engine(Line& line, EngineListener& listener);
    ~Engine() override;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Runs one exchange for `owner` once the pre-send rules allow, its timing widened
    // by what the module has shown; finished() follows once. One at a time.
    void exchange(const Request& request, Owner owner);
    // The frame went out by another hand (a window's own send): what follows is judged
    // as its exchange, with no retry. An exchange still open ends there.
    void observe(const protocol::Frame& frame, Owner owner, const Timing& timing);
    // settled() follows once no frame sent can still be answered and the line has been
    // quiet for `timing`'s gap; a line that never goes quiet is given up after
    // kBusyDeadlines deadlines.
    void settle(const Timing& timing);
    // Nothing more goes out, retries included; the exchange in flight ends by its
    // deadline, one waiting to go out ends unsent.
    void stop();
    bool idle() const;
    const Ledger& ledger() const { return ledger_; }

    void input_arrived() override;
    void alarm() override;
    void faulted(LineFault which) override;
    void lost() override;

private:
    struct Queued {
        Request request;
        Owner owner = 0;
        Micros wanted_at{};
    };

    void try_start();
    void start(const Queued& queued, bool write);
    void finish_unsent(const Queued& queued, bool busy);
    void take_input();
    void judge_stray(std::span<const std::uint8_t> bytes);
    void apply(const Step& step);
    void publish_notes(bool after_end);
    void check_settled();
    void rearm();
    std::optional<Micros> start_at(const Queued& queued) const;
    Micros quiet_at(Micros gap) const;

    Line& line_;
    EngineListener& listener_;
    Ledger ledger_;
    std::optional<Queued> queued_;
    std::optional<Exchange> current_;
    Owner owner_ = 0;
    Micros line_deadline_{};
    std::optional<Micros> exchange_wake_;
    bool result_sent_ = true;
    bool writes_ = true;  // false while judging a frame another hand sent
    bool stopping_ = false;
    std::optional<Timing> settling_;
    Micros settle_asked_{};
    std::optional<Micros> last_byte_;
    std::vector<std::uint8_t> stray_;
};

}  // namespace tarvok::bus
