// A running tarvok-sim as the far end of a benchmark, and the bare round trip every
// Tarvok number is set beside: the frame written straight to the simulator's pty and
// its reply read back, nothing else between. Needs TARVOK_SIM_PATH.
#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <functional>

#include "bench/bench_support.h"

namespace tarvok::bench {

inline constexpr int kSimWaitMs = 5000;
// A setting to address 1, channel 1, not linked, as the window sends it by default.
inline constexpr std::array<std::uint8_t, 8> kCommand = {0x55, 0x01, 0x44, 0x00,
                                                         0x00, 0x00, 0x01, 0x9B};

[[noreturn]] inline void give_up(const char* program, const char* why) {
    std::fprintf(stderr, "%s: %s\n", program, why);
    std::exit(1);
}

// tarvok-sim on port 1 of the private config folder, its log in a file so that a
// full pipe never stalls it. Should the benchmark die early, the simulator is
// stopped too and its port link removed. `in_child` runs in the child before it
// starts (to pin it to a core, say).
class Simulator {
public:
    Simulator(
        const ConfigDir& config, const QStringList& args,
        const std::function<void()>& in_child = [] {}) {
        const QString log = config.root() + "/sim.log";
        QFile::remove(log);
        process_.setStandardOutputFile(log);
        process_.setChildProcessModifier([in_child] {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            in_child();
        });
        process_.start(QStringLiteral(TARVOK_SIM_PATH), QStringList{"--port", "1"} + args);
        QFile file(log);
        for (int waited = 0; waited < kSimWaitMs; waited += 10) {
            QThread::msleep(10);
            if (file.open(QIODevice::ReadOnly) && file.readAll().contains("tarvok-sim port ")) {
                return;
            }
            file.close();
        }
        give_up("benchmark", "tarvok-sim did not get ready");
    }
    ~Simulator() {
        process_.terminate();
        process_.waitForFinished(kSimWaitMs);
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

private:
    QProcess process_;
};

// Reads exactly eight bytes starting 0x22; false when the time runs out first.
inline bool read_reply(int fd) {
    std::array<std::uint8_t, 8> reply{};
    for (std::size_t got = 0; got < reply.size();) {
        pollfd pfd{fd, POLLIN, 0};
        const auto n = ::poll(&pfd, 1, kSimWaitMs) == 1
                           ? ::read(fd, reply.data() + got, reply.size() - got)
                           : -1;
        if (n <= 0) {
            return false;
        }
        got += std::size_t(n);
    }
    return reply[0] == 0x22;
}

// `count` bare round trips at 115200 baud.
inline Timed bare_round_trips(const QString& device, int count) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        give_up("benchmark", "cannot open the pty directly");
    }
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B115200);
    ::cfsetospeed(&t, B115200);
    ::tcsetattr(fd, TCSANOW, &t);
    Timed timed;
    for (int i = 0; i < count; ++i) {
        const double cpu_start = cpu_us();
        const auto start = Clock::now();
        if (::write(fd, kCommand.data(), kCommand.size()) != ssize_t(kCommand.size()) ||
            !read_reply(fd)) {
            give_up("benchmark", "the bare round trip failed");
        }
        timed.add(micros(Clock::now() - start), cpu_us() - cpu_start);
    }
    ::close(fd);
    return timed;
}

inline void append(std::vector<double>& to, const std::vector<double>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

}  // namespace tarvok::bench
