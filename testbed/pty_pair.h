// A pseudo-terminal pair that stands in for the serial wire: the program under test
// opens the slave by its path, the test or measurement reads and writes the master.
// It never takes a pty number that has a lock file (see existing_lock_file), whoever
// left it.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace tarvok::testbed {

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0; }
    // Our end, non-blocking, for writers that pace themselves.
    int master_fd() const { return master_; }
    QString slave_path() const { return slave_path_; }

    // Bytes written to the master arrive at the program as received data, in pieces
    // of at most `piece` bytes. `between` runs after each piece and whenever the line
    // is full; it lets the reader run (by default one turn of this thread's event
    // loop) and stops the writing when it returns false.
    void write(const QByteArray& bytes, qsizetype piece = 4096,
               const std::function<bool()>& between = turn_event_loop) const;
    static bool turn_event_loop();
    // Closes the master: the program sees the wire vanish.
    void close_master();

protected:
    // The slave as this pair keeps it open; its line settings are the program's.
    int slave_fd() const { return slave_keep_; }

private:
    int master_ = -1;
    int slave_keep_ = -1;  // keeps the slave alive between the program's opens
    QString slave_path_;
    std::vector<int> passed_over_;  // both ends of every pty with a lock file
};

}  // namespace tarvok::testbed
