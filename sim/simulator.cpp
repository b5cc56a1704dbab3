#include "sim/simulator.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "protocol/tables.h"
#include "sim/console_input.h"
#include "sim/log_output.h"
#include "sim/module_engine.h"
#include "sim/module_groups.h"
#include "sim/pty_line.h"
#include "sim/sim_words.h"
#include "sim/stop_signals.h"
#include "sim/wire_output.h"

namespace tarvok::sim {

namespace {

using Clock = std::chrono::steady_clock;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// How long poll may sleep: until the console listens again or the next piece of a
// reply is due, whichever comes first; null for as long as it takes.
const timespec* poll_timeout(timespec& room, int console_ms, std::optional<Clock::time_point> due,
                             Clock::time_point now) {
    if (console_ms < 0 && !due) {
        return nullptr;
    }
    auto left =
        std::chrono::nanoseconds(std::chrono::milliseconds(console_ms < 0 ? 0 : console_ms));
    if (due) {
        const auto until_due = std::max(std::chrono::nanoseconds{0}, *due - now);
        left = console_ms < 0 ? until_due : std::min(left, until_due);
    }
    room = {static_cast<time_t>(left.count() / 1'000'000'000),
            static_cast<long>(left.count() % 1'000'000'000)};
    return &room;
}

class Simulator {
public:
    Simulator(const Options& options, const Pty& pty, const posix::SignalPipe& signals,
              LogOutput& log)
        : engine_(modules_of(options.groups), options.fail),
          faults_(options.faults),
          echo_(options.echo),
          pty_(pty),
          signals_(signals),
          log_(log),
          console_(STDIN_FILENO),
          output_(pty.master.get()) {}

    // 0 when stopped by a signal, 1 when the pty failed.
    int run() {
        while (!stopping_) {
            const auto now = Clock::now();
            std::array<pollfd, 4> fds{{{pty_.master.get(), POLLIN, 0},
                                       {signals_.fd(), POLLIN, 0},
                                       {log_.waiting_fd(), POLLOUT, 0},
                                       {console_.poll_fd(now), POLLIN, 0}}};
            timespec room{};
            const auto* timeout =
                poll_timeout(room, console_.rest_ms(now), output_.next_due(), now);
            if (::ppoll(fds.data(), fds.size(), timeout, nullptr) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return fail("poll");
            }
            if (fds[1].revents != 0) {
                handle_signals(signals_.take());
            }
            if (!stopping_ && fds[0].revents != 0) {
                read_master();
            }
            if (!stopping_) {
                check(output_.write_due(Clock::now()));
            }
            if (fds[2].revents != 0) {
                log_.flush();
            }
            if (!stopping_ && fds[3].revents != 0) {
                for (const auto& line : console_.read(Clock::now())) {
                    command(trimmed(line));
                }
            }
        }
        return exit_code_;
    }

private:
    int fail(std::string_view what) {
        std::cerr << say(SimWord::failed_call, {what, std::strerror(errno)}) << std::endl;
        stopping_ = true;
        exit_code_ = 1;
        return exit_code_;
    }

    void check(WireOutput::Result result) {
        switch (result) {
        case WireOutput::Result::ok:
            break;
        case WireOutput::Result::stalled:
            log_.line(say(SimWord::stalled, {std::to_string(WireOutput::kWriteStall.count())}));
            break;
        case WireOutput::Result::failed:
            fail(word(SimWord::write_pty));
            break;
        }
    }

    void print_state() {
        const auto& modules = engine_.modules();
        log_.block(state_text(modules), modules.size() * (protocol::kChannelCount + 1));
    }

    void handle_signals(const std::vector<int>& signals) {
        for (int signo : signals) {
            if (is_stop_signal(signo)) {
                stopping_ = true;
            } else {
                print_state();
            }
        }
    }

    void read_master() {
        std::array<std::uint8_t, 256> buf{};
        const auto n = ::read(pty_.master.get(), buf.data(), buf.size());
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            return;
        }
        if (n <= 0) {
            fail(word(SimWord::read_pty));
            return;
        }
        const auto bytes = std::span(buf.data(), static_cast<std::size_t>(n));
        // A two-wire adapter hears every byte it sends, whatever the modules make of it.
        if (echo_) {
            check(output_.write_now(bytes));
        }
        const LineSetting line = host_line(pty_);
        for (const auto& event : engine_.feed(bytes, line)) {
            answer(event);
        }
    }

    void answer(const FrameEvent& event) {
        std::string line = log_line(event);
        const std::uint32_t number = event.reply ? ++replies_sent_ : 0;
        const bool lost = event.reply && !faults_.no_reply && reply_lost(faults_, number);
        if (lost) {
            line += " · " + lost_label(number);
        } else if (event.reply) {
            for (const auto& label : fault_labels(faults_)) {
                line += " · " + label;
            }
        }
        if (const auto& next = event.line_after_reply) {
            if (next->parity != event.module_line.parity) {
                line += say(SimWord::parity_now,
                            {protocol::shown_in(protocol::kParities, next->parity)});
            }
            if (next->baud != event.module_line.baud) {
                line += say(SimWord::baud_now, {std::to_string(next->baud)});
            }
        }
        log_.line(line);
        if (event.reply && !lost) {
            const auto wire = faults_.pace
                                  ? paced_wait(event.module_line.baud, event.module_line.parity)
                                  : std::chrono::microseconds{0};
            output_.queue(shape_reply(*event.reply, faults_, number, wire), Clock::now());
        }
    }

    void command(const std::string& text) {
        if (text == "s" || text == "S" || text == "状态") {
            print_state();
        } else if (!text.empty()) {
            log_.line(std::string(word(SimWord::typing_hint)));
        }
    }

    ModuleEngine engine_;
    ReplyFaults faults_;
    bool echo_;
    const Pty& pty_;
    const posix::SignalPipe& signals_;
    LogOutput& log_;
    ConsoleInput console_;
    WireOutput output_;
    bool stopping_ = false;
    int exit_code_ = 0;
    std::uint32_t replies_sent_ = 0;
};

}  // namespace

int serve(const Options& options, const Pty& pty, const posix::SignalPipe& signals,
          LogOutput& log) {
    return Simulator(options, pty, signals, log).run();
}

}  // namespace tarvok::sim
