#include "sim/pty_transport.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "protocol/tables.h"
#include "sim/module_engine.h"
#include "sim/port_link.h"

namespace tarvok::sim {

namespace {

// Write end of the self-pipe. A signal handler may touch nothing but a
// sig_atomic_t and async-signal-safe calls, so the fd the handler writes to has to
// live here; it is set while a SignalPipe exists and -1 otherwise.
volatile std::sig_atomic_t g_signal_fd = -1;

void on_signal(int signo) {
    const int saved_errno = errno;
    const auto byte = static_cast<unsigned char>(signo);
    if (g_signal_fd >= 0) {
        (void)!::write(g_signal_fd, &byte, 1);
    }
    errno = saved_errno;
}

constexpr std::array<int, 4> kHandledSignals = {SIGINT, SIGTERM, SIGHUP, SIGUSR1};
constexpr int kWriteStallMs = 1000;

bool is_stop_signal(int signo) { return signo != SIGUSR1; }

void say(const std::string& line) { std::cout << line << '\n' << std::flush; }

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        reset(std::exchange(other.fd_, -1));
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    [[nodiscard]] int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

// Self-pipe: signals become bytes that the poll loop reads like any other input.
class SignalPipe {
public:
    SignalPipe() {
        std::array<int, 2> fds{-1, -1};
        if (::pipe2(fds.data(), O_NONBLOCK | O_CLOEXEC) != 0) {
            return;
        }
        read_end_.reset(fds[0]);
        write_end_.reset(fds[1]);
        g_signal_fd = fds[1];
        install(on_signal);
        ::signal(SIGPIPE, SIG_IGN);  // a closed stdout reader must not kill us before cleanup
    }
    ~SignalPipe() {
        install(SIG_DFL);
        g_signal_fd = -1;
    }
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    [[nodiscard]] bool ok() const { return read_end_.get() >= 0; }
    [[nodiscard]] int fd() const { return read_end_.get(); }

    [[nodiscard]] std::vector<int> take() const {
        std::vector<int> signals;
        std::array<unsigned char, 64> buf{};
        ssize_t n = 0;
        while ((n = ::read(read_end_.get(), buf.data(), buf.size())) > 0) {
            signals.insert(signals.end(), buf.begin(), buf.begin() + n);
        }
        return signals;
    }

private:
    static void install(void (*handler)(int)) {
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        for (int signo : kHandledSignals) {
            ::sigaction(signo, &action, nullptr);
        }
    }

    UniqueFd read_end_;
    UniqueFd write_end_;
};

// glibc takes a plain rate in cfsetspeed, so the speed constant of each rate the
// module knows comes from the protocol's table rather than a table of our own.
speed_t speed_of(std::uint32_t baud) {
    termios t{};
    return ::cfsetspeed(&t, baud) == 0 ? ::cfgetospeed(&t) : B9600;
}

// 0 for a speed the module cannot run at, which never matches its own rate.
std::uint32_t baud_of(speed_t speed) {
    for (const auto& e : protocol::kBaudCodes) {
        if (speed_of(e.baud) == speed) {
            return e.baud;
        }
    }
    return 0;
}

// A Linux pty keeps one termios for the pair, so the rate the host set on its end
// is what our own slave fd reports.
std::uint32_t line_baud(int slave_fd) {
    termios t{};
    if (::tcgetattr(slave_fd, &t) != 0) {
        return 0;
    }
    return baud_of(::cfgetospeed(&t));
}

struct Pty {
    UniqueFd master;
    // Held open for the whole run: while one slave fd stays open, the master never
    // reads EIO when the host closes and reopens its port.
    UniqueFd slave;
    std::string slave_path;
};

std::variant<Pty, std::string> open_pty(std::uint32_t baud) {
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        return std::string("错误：无法打开伪终端：") + std::strerror(errno);
    }
    Pty pty{UniqueFd(master), UniqueFd(slave), {}};
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    std::array<char, 256> name{};
    if (::ttyname_r(slave, name.data(), name.size()) != 0) {
        return std::string("错误：无法得到伪终端的设备名");
    }
    pty.slave_path = name.data();
    // Raw bytes, and the module's own rate to start with, so that a terminal program
    // that never sets a rate is heard too.
    termios t{};
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, speed_of(baud));
    ::cfsetospeed(&t, speed_of(baud));
    ::tcsetattr(slave, TCSANOW, &t);
    return pty;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
    std::string text;
    for (const auto& part : parts) {
        text += (text.empty() ? "" : separator) + part;
    }
    return text;
}

class Simulator {
public:
    Simulator(const Options& options, Pty& pty, const SignalPipe& signals)
        : engine_(ModuleState{options.address, options.baud}, options.fail),
          faults_(options.faults),
          pty_(pty),
          signals_(signals) {}

    // 0 when stopped by a signal, 1 when the pty failed.
    int run() {
        while (!stopping_) {
            std::array<pollfd, 3> fds{{{pty_.master.get(), POLLIN, 0},
                                       {signals_.fd(), POLLIN, 0},
                                       {stdin_open_ ? STDIN_FILENO : -1, POLLIN, 0}}};
            if (::poll(fds.data(), fds.size(), -1) < 0) {
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
            if (!stopping_ && fds[2].revents != 0) {
                read_stdin();
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

    void handle_signals(const std::vector<int>& signals) {
        for (int signo : signals) {
            if (is_stop_signal(signo)) {
                stopping_ = true;
            } else {
                std::cout << state_text(engine_.state()) << std::flush;
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
        const std::uint32_t rate = line_baud(pty_.slave.get());
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
        say(line);
        if (event.reply) {
            send(shape_reply(*event.reply, faults_, ++replies_sent_));
        }
    }

    void send(const std::vector<Piece>& pieces) {
        for (const auto& piece : pieces) {
            if (!pause(piece.pause_ms) || !write_all(piece.bytes)) {
                return;
            }
        }
    }

    // Waits while still taking signals; false when told to stop meanwhile.
    bool pause(int ms) {
        using Clock = std::chrono::steady_clock;
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        for (auto now = Clock::now(); now < until && !stopping_; now = Clock::now()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count();
            pollfd fd{signals_.fd(), POLLIN, 0};
            if (::poll(&fd, 1, static_cast<int>(left) + 1) > 0) {
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
                say("应答未能写出：线路 " + std::to_string(kWriteStallMs) + " ms 内没有腾出空间");
                return false;
            }
        }
        return true;
    }

    // stdin is optional: at EOF, or when it is not readable at all, we just stop
    // listening to it, so the simulator can run in the background.
    void read_stdin() {
        std::array<char, 256> buf{};
        const auto n = ::read(STDIN_FILENO, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) {
            return;
        }
        if (n <= 0) {
            stdin_open_ = false;
            return;
        }
        typed_.append(buf.data(), static_cast<std::size_t>(n));
        for (auto end = typed_.find('\n'); end != std::string::npos; end = typed_.find('\n')) {
            command(trimmed(typed_.substr(0, end)));
            typed_.erase(0, end + 1);
        }
    }

    void command(const std::string& text) {
        if (text == "s" || text == "S" || text == "状态") {
            std::cout << state_text(engine_.state()) << std::flush;
        } else if (!text.empty()) {
            say("输入 s 或“状态”查看模块状态，Ctrl-C 退出");
        }
    }

    ModuleEngine engine_;
    ReplyFaults faults_;
    Pty& pty_;
    const SignalPipe& signals_;
    std::string typed_;
    bool stdin_open_ = true;
    bool stopping_ = false;
    int exit_code_ = 0;
    std::uint32_t replies_sent_ = 0;
};

std::string ready_line(const Options& options, const std::string& slave_path) {
    return "模拟模块已就绪：端口 " + std::to_string(options.port) + " → " + slave_path + "（地址 " +
           std::to_string(options.address) + "，" + std::to_string(options.baud) + " 波特）";
}

}  // namespace

int run_simulator(const Options& options) {
    // Handlers go in before the link exists, so an early Ctrl-C still cleans up.
    const SignalPipe signals;
    if (!signals.ok()) {
        std::cerr << "错误：无法建立信号管道：" << std::strerror(errno) << std::endl;
        return 1;
    }
    auto opened = open_pty(options.baud);
    if (auto* error = std::get_if<std::string>(&opened)) {
        std::cerr << *error << std::endl;
        return 1;
    }
    auto& pty = std::get<Pty>(opened);
    const auto dir = ports_directory(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (dir.empty()) {
        std::cerr << "错误：HOME 与 XDG_CONFIG_HOME 都未设为绝对路径，无法登记端口" << std::endl;
        return 1;
    }
    auto claimed = PortLink::claim(dir / ("com" + std::to_string(options.port)), pty.slave_path);
    if (auto* error = std::get_if<std::string>(&claimed)) {
        std::cerr << *error << std::endl;
        return 1;
    }
    std::string link_path;
    int code = 0;
    {
        const auto link = std::move(std::get<PortLink>(claimed));
        link_path = link.path().string();
        if (!link.replaced_target().empty()) {
            say("已替换失效的端口链接 " + link_path + "（原指向 " + link.replaced_target() + "）");
        }
        say(ready_line(options, pty.slave_path));
        auto labels = fault_labels(options.faults);
        if (options.fail) {
            labels.insert(labels.begin(), "一律答失败");
        }
        if (!labels.empty()) {
            say("故障模拟：" + joined(labels, "，"));
        }
        code = Simulator(options, pty, signals).run();
    }
    say("模拟模块已停止，端口链接已移除：" + link_path);
    return code;
}

}  // namespace tarvok::sim
