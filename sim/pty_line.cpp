#include "sim/pty_line.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "protocol/tables.h"
#include "sim/sim_words.h"

namespace tarvok::sim {

namespace {

// glibc takes a plain rate in cfsetspeed, so the speed constant of each rate the
// module knows comes from the protocol's table rather than a table of our own.
speed_t speed_of(std::uint32_t baud) {
    termios t{};
    return ::cfsetspeed(&t, baud) == 0 ? ::cfgetospeed(&t) : B9600;
}

std::uint32_t baud_of(speed_t speed) {
    for (const auto& e : protocol::kBaudCodes) {
        if (speed_of(e.baud) == speed) {
            return e.baud;
        }
    }
    return 0;
}

protocol::Parity parity_of(const termios& t) {
    if ((t.c_cflag & PARODD) != 0) {
        return protocol::Parity::odd;
    }
    return (t.c_cflag & PARENB) != 0 || (t.c_iflag & INPCK) != 0 ? protocol::Parity::even
                                                                 : protocol::Parity::none;
}

void set_parity(termios& t, protocol::Parity parity) {
    t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD);
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK);
    switch (parity) {
    case protocol::Parity::none:
        return;
    case protocol::Parity::odd:
        t.c_cflag |= PARODD;
        break;
    case protocol::Parity::even:
        break;
    }
    t.c_cflag |= PARENB;
    t.c_iflag |= INPCK;
}

}  // namespace

std::variant<Pty, std::string> open_pty(const LineSetting& line) {
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        return say(SimWord::no_pty, {std::strerror(errno)});
    }
    Pty pty{UniqueFd(master), UniqueFd(slave), {}};
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    std::array<char, 256> name{};
    if (::ttyname_r(slave, name.data(), name.size()) != 0) {
        return std::string(word(SimWord::no_pty_name));
    }
    pty.slave_path = name.data();
    termios t{};
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, speed_of(line.baud));
    ::cfsetospeed(&t, speed_of(line.baud));
    set_parity(t, line.parity);
    ::tcsetattr(slave, TCSANOW, &t);
    return pty;
}

// A Linux pty keeps one termios for the pair, so the line the host set on its end
// is what our own slave fd reports.
LineSetting host_line(const Pty& pty) {
    termios t{};
    if (::tcgetattr(pty.slave.get(), &t) != 0) {
        return LineSetting{0};
    }
    return LineSetting{baud_of(::cfgetospeed(&t)), parity_of(t)};
}

}  // namespace tarvok::sim
