#include "tests/support/watched_pty.h"

#include <QElapsedTimer>
#include <QTest>

#include <sys/ioctl.h>
#include <unistd.h>

namespace tarvok::test {

QByteArray WatchedPty::read(int at_least, int wait_ms) const {
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    char buf[4096];
    int settle_ms = -1;
    while (timer.elapsed() < wait_ms) {
        const auto n = ::read(master_fd(), buf, sizeof buf);
        if (n > 0) {
            out.append(buf, n);
            continue;
        }
        if (out.size() >= at_least) {
            if (settle_ms < 0) {
                settle_ms = static_cast<int>(timer.elapsed());
            } else if (timer.elapsed() - settle_ms > 20) {
                break;
            }
        }
        QTest::qWait(2);
    }
    return out;
}

bool WatchedPty::silent(int wait_ms) const { return read(1, wait_ms).isEmpty(); }

speed_t WatchedPty::slave_speed() const {
    termios t{};
    ::tcgetattr(slave_fd(), &t);
    return ::cfgetospeed(&t);
}

int WatchedPty::waiting_at_slave() const {
    int count = 0;
    ::ioctl(slave_fd(), FIONREAD, &count);
    return count;
}

}  // namespace tarvok::test
