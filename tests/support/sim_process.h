// The real tarvok-sim as a child process: it inherits this process's environment
// at start (so it registers its port wherever ConfigDir pointed XDG_CONFIG_HOME),
// its output is taken line by line while the event loop keeps running, and it is
// stopped the way a technician stops it, with SIGTERM (or any other signal).
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <optional>

namespace tarvok::test {

class SimProcess {
public:
    SimProcess();
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts the simulator and waits for its line for programs; the pty device it
    // announced, or empty when it exited or stayed silent.
    QString start(const QString& program, const QStringList& args, int wait_ms = 5000);

    // The next line not yet taken that contains `text`, waiting up to `wait_ms`.
    // Lines before it are taken too, so a later call only sees newer output.
    std::optional<QString> take_line(const QString& text, int wait_ms = 5000);

    // Asks for the state: the text the simulator printed, `modules` blocks of 33
    // lines, to compare with sim::state_text of the modules expected.
    std::optional<QString> state(int wait_ms = 5000, int modules = 1);

    // Sends `signo`, then waits for the exit; the exit code, or nothing if it would
    // not end in time (it is killed then) or ended by the signal itself.
    std::optional<int> stop(int wait_ms = 5000, int signo = SIGTERM);

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
