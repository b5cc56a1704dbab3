// The testbed's pty pair with what a test reads at the wire: what the program wrote,
// whether it kept quiet, the line speed it set, what it left unread.
#pragma once

#include <QByteArray>

#include <termios.h>

#include "testbed/pty_pair.h"

namespace tarvok::test {

class WatchedPty : public testbed::PtyPair {
public:
    // Everything the program has written so far, waiting up to `wait_ms` for at
    // least `at_least` bytes (and a short settle for more).
    QByteArray read(int at_least = 0, int wait_ms = 2000) const;
    // Whether nothing is waiting on the master after `wait_ms`.
    bool silent(int wait_ms = 200) const;
    // The line speed the program set on the slave (termios is shared by both ends).
    speed_t slave_speed() const;
    // Bytes the slave has received and nobody has read yet.
    int waiting_at_slave() const;
};

}  // namespace tarvok::test
