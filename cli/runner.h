// Runs settings on one serial line, one at a time: the bus is half-duplex, so each
// frame waits for its reply (or its timeout and retries) before the next goes out.
// Driven by the event loop alone: received bytes and timers move it on.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstddef>
#include <map>
#include <optional>
#include <vector>

#include "cli/options.h"
#include "cli/outcome.h"
#include "cli/reply_wait.h"
#include "serial/line_settings.h"

class QTimer;

namespace tarvok::serial {
class SerialLine;
struct SerialError;
}  // namespace tarvok::serial

namespace tarvok::cli {

class Runner : public QObject {
    Q_OBJECT

public:
    Runner(RunConfig config, const std::vector<PlanStep>& steps, QObject* parent = nullptr);

    // Opens the port and sends the first setting; the rest follows from events.
    void start();
    // One result per step, in plan order; not_sent for those never reached.
    const std::vector<StepResult>& results() const { return results_; }

signals:
    void step_started(std::size_t index, std::size_t total);
    void step_finished(const tarvok::cli::StepResult& result);
    // Once, at the end. `message` is the port's failure, empty when the port held.
    void finished(tarvok::cli::Exit code, const QString& message);

private:
    void run_next();
    void send_attempt();
    void take_bytes();
    void attempt_timed_out();
    void complete(Outcome outcome);
    void note_line_change(StepResult& result);
    void port_lost(const serial::SerialError& error);
    void stop(Exit code, const QString& message);
    std::optional<QString> use_line(const serial::LineSettings& line);
    serial::LineSettings line_for(std::uint8_t address) const;

    RunConfig config_;
    serial::SerialLine* serial_;
    QTimer* timer_;
    QElapsedTimer clock_;
    std::vector<StepResult> results_;
    std::vector<std::uint8_t> pending_;
    // Modules whose line a successful line setting changed during this run.
    std::map<std::uint8_t, serial::LineSettings> moved_;
    serial::LineSettings current_;
    std::size_t index_ = 0;
    bool waiting_ = false;
    bool stopped_ = false;
};

}  // namespace tarvok::cli
