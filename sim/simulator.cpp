#include "sim/simulator.h"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "protocol/tables.h"
#include "sim/console_input.h"
#include "sim/log_output.h"
#include "sim/module_engine.h"
#include "sim/pty_line.h"
#include "sim/signal_pipe.h"

namespace tarvok::sim {

namespace {

using Clock = std::chrono::steady_clock;

// A host that stops reading its port loses the reply rather than stalling the bus.
constexpr int kWriteStallMs = 1000;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<ModuleState> modules_of(const Options& options) {
    std::vector<ModuleState> modules;
    for (const auto address : options.addresses) {
        modules.push_back(ModuleState{address, options.baud});
    }
    return modules;
}

class Simulator {
public:
    Simulator(const Options& options, const Pty& pty, const SignalPipe& signals, LogOutput& log)
        : engine_(modules_of(options), options.fail),
          faults_(options.faults),
          pty_(pty),
          signals_(signals),
          log_(log),
          console_(STDIN_FILENO) {}

    // 0 when stopped by a signal, 1 when the pty failed.
    int run() {
        while (!stopping_) {
            const auto now = Clock::now();
            std::array<pollfd, 4> fds{{{pty_.master.get(), POLLIN, 0},
                                       {signals_.fd(), POLLIN, 0},
                                       {log_.waiting_fd(), POLLOUT, 0},
                                       {console_.poll_fd(now), POLLIN, 0}}};
            if (::poll(fds.data(), fds.size(), console_.rest_ms(now)) < 0) {
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
    int fail(const std::string& what) {
        std::cerr << "错误：" << what << " 失败：" << std::strerror(errno) << std::endl;
        stopping_ = true;
        exit_code_ = 1;
        return exit_code_;
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
            fail("读取伪终端");
            return;
        }
        const std::uint32_t rate = line_baud(pty_);
        for (const auto& event :
             engine_.feed(std::span(buf.data(), static_cast<std::size_t>(n)), rate)) {
            answer(event);
        }
    }

    void answer(const FrameEvent& event) {
        std::string line = log_line(event);
        if (event.reply) {
            for (const auto& label : fault_labels(faults_)) {
                line += " · " + label;
            }
        }
        if (event.baud_after_reply) {
            line += " · 此后按 " + std::to_string(*event.baud_after_reply) + " 波特收发";
        }
        log_.line(line);
        if (event.reply) {
            const auto wire = faults_.pace ? paced_wait(event.module_baud, event.module_parity)
                                           : std::chrono::microseconds{0};
            send(shape_reply(*event.reply, faults_, ++replies_sent_, wire));
        }
    }

    void send(const std::vector<Piece>& pieces) {
        for (const auto& piece : pieces) {
            if (!pause(piece.pause) || !write_all(piece.bytes)) {
                return;
            }
        }
    }

    // Waits while still taking signals; false when told to stop meanwhile.
    bool pause(std::chrono::microseconds length) {
        const auto until = Clock::now() + length;
        for (auto now = Clock::now(); now < until && !stopping_; now = Clock::now()) {
            const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(until - now);
            const timespec wait{static_cast<time_t>(left.count() / 1'000'000'000),
                                static_cast<long>(left.count() % 1'000'000'000)};
            pollfd fd{signals_.fd(), POLLIN, 0};
            if (::ppoll(&fd, 1, &wait, nullptr) > 0) {
                handle_signals(signals_.take());
            }
        }
        return !stopping_;
    }

    bool write_all(const std::vector<std::uint8_t>& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const auto n = ::write(pty_.master.get(), bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                fail("写入伪终端");
                return false;
            }
            pollfd fd{pty_.master.get(), POLLOUT, 0};
            if (::poll(&fd, 1, kWriteStallMs) == 0) {
                log_.line("应答未能写出：线路 " + std::to_string(kWriteStallMs) +
                          " ms 内没有腾出空间");
                return false;
            }
        }
        return true;
    }

    void command(const std::string& text) {
        if (text == "s" || text == "S" || text == "状态") {
            print_state();
        } else if (!text.empty()) {
            log_.line("输入 s 或“状态”查看模块状态，Ctrl-C 退出");
        }
    }

    ModuleEngine engine_;
    ReplyFaults faults_;
    const Pty& pty_;
    const SignalPipe& signals_;
    LogOutput& log_;
    ConsoleInput console_;
    bool stopping_ = false;
    int exit_code_ = 0;
    std::uint32_t replies_sent_ = 0;
};

}  // namespace

int serve(const Options& options, const Pty& pty, const SignalPipe& signals, LogOutput& log) {
    return Simulator(options, pty, signals, log).run();
}

}  // namespace tarvok::sim
