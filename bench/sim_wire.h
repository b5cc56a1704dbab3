// A running tarvok-sim as the far end of a benchmark, and the bare round trip every
// Tarvok number is set beside: the frame written straight to the simulator's pty and
// its reply read back, nothing else between. Needs TARVOK_SIM_PATH.
#pragma once

#include <QFile>
#include <QStringList>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

#include "bench/bench_support.h"
#include "testbed/simulator.h"

namespace tarvok::bench {

inline constexpr int kSimWaitMs = 5000;
// A setting to address 1, channel 1, not linked, as the window sends it by default.
inline constexpr std::array<std::uint8_t, 8> kCommand = {0x55, 0x01, 0x44, 0x00,
                                                         0x00, 0x00, 0x01, 0x9B};

[[noreturn]] inline void give_up(const char* program, const char* why) {
    std::fprintf(stderr, "%s: %s\n", program, why);
    std::exit(1);
}

// tarvok-sim on `port` of the config folder in use, held on the simulator's core: the
// testbed's, which stops it (and removes its port link) should the benchmark die
// early. Its device; a simulator that does not start ends the benchmark.
inline QString start_far_end(testbed::Simulator& simulator, const QStringList& args, int port = 1) {
    const QString device =
        simulator.start(QStringLiteral(TARVOK_SIM_PATH),
                        QStringList{"--port", QString::number(port)} + args, kSimCore);
    if (device.isEmpty()) {
        give_up("benchmark", qPrintable("tarvok-sim did not get ready: " + simulator.error_text()));
    }
    return device;
}

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
