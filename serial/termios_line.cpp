#include "serial/termios_line.h"

#include <QFile>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <utility>

namespace tarvok::serial {

using protocol::Parity;

namespace {

speed_t speed_of(std::uint32_t baud) {
    constexpr std::array<std::pair<std::uint32_t, speed_t>, 8> kSpeeds = {{{1200, B1200},
                                                                          {2400, B2400},
                                                                          {4800, B4800},
                                                                          {9600, B9600},
                                                                          {19200, B19200},
                                                                          {38400, B38400},
                                                                          {57600, B57600},
                                                                          {115200, B115200}}};
    for (const auto& [rate, speed] : kSpeeds) {
        if (rate == baud) {
            return speed;
        }
    }
    return B0;
}

}  // namespace

bool may_read_and_write(const QString& device) {
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
}

void check_parity(int fd, Parity parity) {
    termios t{};
    if (parity == Parity::none || ::tcgetattr(fd, &t) != 0) {
        return;
    }
    t.c_iflag |= INPCK;
    ::tcsetattr(fd, TCSANOW, &t);
}

bool set_termios_line(int fd, const protocol::LineSetting& line) {
    termios t{};
    const speed_t speed = speed_of(line.baud);
    if (speed == B0 || ::tcgetattr(fd, &t) != 0) {
        return false;
    }
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD);
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK);
    if (line.parity != Parity::none) {
        t.c_cflag |= PARENB | (line.parity == Parity::odd ? PARODD : 0);
        t.c_iflag |= INPCK;
    }
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}

bool locked_by_posix(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    return ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

}  // namespace tarvok::serial
