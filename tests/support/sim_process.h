// The real tarvok-sim as a child process: it inherits this process's environment
// at start (so it registers its port wherever ConfigDir pointed XDG_CONFIG_HOME),
// its output is taken line by line while the event loop keeps running, and it is
// stopped the way a technician stops it, with SIGTERM.
#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarvok::test {

struct SimChannel {
    QString mode;      // 关联方式, e.g. 不关联
    QString power_on;  // 上电状态, e.g. 上电关

    friend bool operator==(const SimChannel&, const SimChannel&) = default;
};

// The module as the simulator prints it after an `s` on its stdin.
struct SimState {
    int address = -1;
    int baud = 0;
    QString parity;
    QList<SimChannel> channels;  // channels[0] is 第1路

    friend bool operator==(const SimState&, const SimState&) = default;
};

// Parses the 33-line state text; nothing when any line is missing or malformed.
std::optional<SimState> parse_sim_state(const QStringList& lines);

class SimProcess {
public:
    SimProcess();
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts the simulator and waits for its ready line; the pty device it
    // announced, or empty when it exited or stayed silent.
    QString start(const QString& program, const QStringList& args, int wait_ms = 5000);

    // The next line not yet taken that contains `text`, waiting up to `wait_ms`.
    // Lines before it are taken too, so a later call only sees newer output.
    std::optional<QString> take_line(const QString& text, int wait_ms = 5000);

    // Asks for the state and parses the answer.
    std::optional<SimState> state(int wait_ms = 5000);

    // SIGTERM, then waits for the exit; the exit code, or nothing if it would not
    // end in time (it is killed then) or crashed.
    std::optional<int> stop(int wait_ms = 5000);

    bool running() const { return proc_.state() != QProcess::NotRunning; }
    const QStringList& lines() const { return lines_; }
    QString error_text() const { return errors_; }

private:
    void collect();

    QProcess proc_;
    QStringList lines_;
    QByteArray partial_;
    QString errors_;
    qsizetype taken_ = 0;
};

}  // namespace tarvok::test
