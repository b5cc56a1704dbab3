// A pseudo-terminal pair that stands in for the serial wire in tests: the program
// under test opens the slave by its path, the test reads and writes the master. It
// never takes a pty number that has a lock file (see existing_lock_file), whoever
// left it.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

#include <termios.h>

namespace tarvok::test {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0; }
    // The test's end, non-blocking, for writers that pace themselves.
    int master_fd() const { return master_; }
    QString slave_path() const { return slave_path_; }

    // Bytes written to the master arrive at the program as received data, in pieces
    // of at most `piece` bytes. `between` runs after each piece and whenever the line
    // is full; it lets the reader run (by default one turn of this thread's event
    // loop) and stops the writing when it returns false.
    void write(const QByteArray& bytes, qsizetype piece = 4096,
               const std::function<bool()>& between = turn_event_loop) const;
    static bool turn_event_loop();
    // Everything the program has written so far, waiting up to `wait_ms` for at
    // least `at_least` bytes (and a short settle for more).
    QByteArray read(int at_least = 0, int wait_ms = 2000) const;
    // Whether nothing is waiting on the master after `wait_ms`.
    bool silent(int wait_ms = 200) const;

    // The line speed the program set on the slave (termios is shared by both ends).
    speed_t slave_speed() const;
    // Bytes the slave has received and nobody has read yet.
    int waiting_at_slave() const;
    // Closes the master: the program sees the wire vanish.
    void close_master();

private:
    int master_ = -1;
    int slave_keep_ = -1;  // keeps the slave alive between the program's opens
    QString slave_path_;
    std::vector<int> passed_over_;  // both ends of every pty with a lock file
};

}  // namespace tarvok::test
