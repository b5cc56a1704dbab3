// A program run from outside as a shell runs it, tarvokctl above all: its arguments,
// its standard input (bytes, the output of a shell command, or nothing), and when
// asked one core to run on. Its standard output and error go to files, so nobody reads
// them while it runs (a reader would share the machine with what a measurement times)
// and no full pipe can stall it. It is ended once: waited for, or killed when it
// outlives the wait or the caller.
#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <optional>

namespace tarvok::testbed {

// Holds the calling thread, and whatever it starts later, on one core.
void pin_to(int core);
// What every child of ours does before it starts: it ends should we die first, and
// runs on `core` when one is given.
void prepare(QProcess& process, std::optional<int> core);

struct Launch {
    QByteArray input{};         // its standard input, closed after these bytes
    QString input_from{};       // or a shell command whose output is its standard input
    std::optional<int> core{};  // held on this core from before it starts
    QString output_to{};        // its standard output to this file or device instead
    // Its locale (LC_ALL; LANGUAGE unset): Chinese, the words tests read, unless told.
    QString locale = QStringLiteral("C.UTF-8");
};

struct Ended {
    int exit = -1;  // -1: ended by a signal, or killed for outliving the wait
    QByteArray out;
    QString errors;
    std::chrono::steady_clock::time_point started;  // just before it was started
    double wall_us = 0;                             // from then to its end, as seen
    // Its standard output's lines, empty ones left out.
    QList<QByteArray> out_lines() const;
};

// While waiting for a child the caller may have nothing to do (blocked: its end is
// seen at once), or serve a far end on its event loop (turning, every 10 ms).
enum class Waiting { blocked, turning };

class Child {
public:
    Child(const QString& program, const QStringList& args, const Launch& launch = {});
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Whether a whole line is out within `wait_ms`; the event loop turns meanwhile.
    bool wait_for_line(int wait_ms);
    void signal(int signo) const;
    // What it has written on standard error so far.
    QString errors_so_far() const;
    // Its end, killed if it has not ended within `wait_ms`.
    Ended finish(int wait_ms, Waiting waiting = Waiting::blocked);

private:
    QTemporaryDir dir_;
    QProcess feeder_;
    QProcess process_;
    std::chrono::steady_clock::time_point started_;
};

// `program` run to its end, blocked.
Ended run(const QString& program, const QStringList& args, const Launch& launch = {},
          int wait_ms = 600'000);

}  // namespace tarvok::testbed
