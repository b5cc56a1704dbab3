// A bus in a box for the engine's clock-free tests and its fuzzer: a Line whose clock
// moves only when run() moves it, and a module at the far end that answers each
// frame it hears by a script (late, in pieces, twice, echoed, babbling, or not at
// all), only at its own line, as a real one does. It remembers every frame it heard
// and which it answered: the oracle for what the engine may claim.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "bus/line.h"
#include "protocol/frame.h"
#include "protocol/request.h"

namespace tarvok::test {

using bus::Micros;

struct Script {
    int delay_ms = 1;       // to the reply's first byte; negative: never answers
    int trickle_ms = 0;     // between the reply's bytes
    int echo = 0;           // 1: the adapter hands back each frame; 2: garbled
    int copy_ms = -1;       // the same reply again this long after the first one's end
    int other_address = 0;  // the reply names the address plus this
    int refuse_channel = 0;  // a mode frame for this channel is refused
    int answered = 1 << 30;  // frames answered, from the first heard
    int babble_every_ms = 0;  // after each reply, a junk byte this often…
    int babble_for_ms = 0;    // …for this long
    protocol::LineSetting line{};  // the module's line
};

class FarEnd : public bus::Line {
public:
    explicit FarEnd(Script script, std::uint8_t address = 1);

    void set_listener(bus::LineListener* listener) override { listener_ = listener; }
    Micros now() const override { return clock_; }
    void wake_at(Micros at) override { alarm_ = std::max(at, clock_); }
    void cancel_wake() override { alarm_.reset(); }
    bool write(std::span<const std::uint8_t> bytes) override;
    std::vector<std::uint8_t> take_input() override;
    bool set_setting(const protocol::LineSetting& setting) override;
    protocol::LineSetting setting() const override { return host_; }
    bool is_open() const override { return true; }

    // Moves the clock from event to event until `done` holds or nothing is left
    // before `limit`; whether `done` held.
    bool run(const std::function<bool()>& done, Micros limit);
    // The delay for each frame heard in turn (cycling), in place of the script's delay
    // and count; negative: that frame gets no answer.
    void answer_each_after(std::vector<int> delays_ms) { each_delay_ms_ = std::move(delays_ms); }
    // A module that answers within this long or not at all: a reply that would start
    // later (behind its earlier replies) is not sent.
    void answer_within(int ms) { latest_ms_ = ms; }
    // Bytes that reach the host at `at`, from outside the script, unless a reply is
    // being written then (noise inside a reply could pass its checksum by chance, which
    // no listener can tell from the module).
    void inject(Micros at, std::vector<std::uint8_t> bytes);

    struct Heard {
        Micros at;
        protocol::Frame frame;
        protocol::LineSetting line;  // the host's line when it went out
        bool answered = false;
    };
    const std::vector<Heard>& heard() const { return heard_; }
    // Whether the module answered `frame` sent at `line` (any of its sends).
    bool answered(const protocol::Frame& frame, const protocol::LineSetting& line) const;
    // Frames sent while a reply was being written, which a real bus would garble.
    int sent_over_reply() const { return over_reply_; }
    const protocol::LineSetting& module_line() const { return module_line_; }

private:
    void answer(const protocol::Frame& frame);
    void write_at(Micros at, const std::vector<std::uint8_t>& bytes);

    Script script_;
    std::uint8_t address_;
    protocol::LineSetting host_;
    protocol::LineSetting module_line_;
    Micros clock_{1'000'000};
    std::optional<Micros> alarm_;
    bus::LineListener* listener_ = nullptr;
    std::multimap<Micros, std::vector<std::uint8_t>> arriving_;
    std::vector<std::uint8_t> inbox_;
    std::vector<Heard> heard_;
    std::vector<std::pair<Micros, Micros>> replying_;  // first and last byte of each reply
    int answers_ = 0;
    int heard_frames_ = 0;
    std::vector<int> each_delay_ms_;
    int latest_ms_ = 1 << 30;
    std::multimap<Micros, std::vector<std::uint8_t>> noise_;
    int over_reply_ = 0;
};

}  // namespace tarvok::test
