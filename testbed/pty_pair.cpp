#include "testbed/pty_pair.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <utility>

#include "serial/port_holder.h"

namespace tarvok::testbed {

namespace {

// Enough to get past every pty number that lock files left on a machine.
constexpr int kMostTries = 64;

}  // namespace

// A pty number with a lock file left behind (a killed program's, perhaps another
// user's that we may not remove) cannot be opened by the programs under test. Such
// a pty is kept open while the next is taken, so that the kernel hands out another,
// and until this pair is done, so that no other test gets it meanwhile.
PtyPair::PtyPair() {
    int slave = -1;
    char name[256] = {};
    for (int tries = 0; tries < kMostTries; ++tries) {
        if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0) {
            master_ = -1;
            break;
        }
        if (serial::existing_lock_file(QString::fromLocal8Bit(name)).isEmpty()) {
            break;
        }
        passed_over_.push_back(std::exchange(master_, -1));
        passed_over_.push_back(slave);
    }
    if (master_ < 0) {
        return;
    }
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    slave_keep_ = slave;
    slave_path_ = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair() {
    close_master();
    if (slave_keep_ >= 0) {
        ::close(slave_keep_);
    }
    for (const int fd : passed_over_) {
        ::close(fd);
    }
}

bool PtyPair::turn_event_loop() {
    QCoreApplication::processEvents();
    return true;
}

void PtyPair::write(const QByteArray& bytes, qsizetype piece,
                    const std::function<bool()>& between) const {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const auto size = static_cast<size_t>(std::min(piece, bytes.size() - done));
        const auto n = ::write(master_, bytes.constData() + done, size);
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
        if (n < 0) {
            pollfd pfd{master_, POLLOUT, 0};
            ::poll(&pfd, 1, 50);
        }
        done += std::max<qsizetype>(n, 0);
        if (!between()) {
            return;
        }
    }
}

void PtyPair::close_master() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

}  // namespace tarvok::testbed
