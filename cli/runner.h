// Runs settings on one serial line, one at a time, through the bus engine: each frame
// waits for its own reply (or its deadline, settle and retries) before the next goes
// out. Driven by the event loop alone.
#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bus/exchange.h"
#include "cli/options.h"
#include "cli/outcome.h"
#include "serial/line_settings.h"

namespace tarvok::serial {
class Port;
struct SerialError;
}  // namespace tarvok::serial

namespace tarvok::bus {
class Bus;
}

namespace tarvok::cli {

class Runner : public QObject {
    Q_OBJECT

public:
    Runner(RunConfig config, const std::vector<PlanStep>& steps, QObject* parent = nullptr);

    // Opens the port and sends the first setting; the rest follows from events.
    void start();
    // Lets the exchange in flight finish, sends nothing more, and ends with `code`.
    void interrupt(Exit code);
    // One result per step, in plan order; not_sent for those never reached.
    const std::vector<StepResult>& results() const { return results_; }

signals:
    void step_started(std::size_t index, std::size_t total);
    void step_finished(const tarvok::cli::StepResult& result);
    // Something met on the line that is a line of its own: a late or second reply, a
    // reply for something else, a garbled echo.
    void remark(const std::string& text);
    // Once, at the end. `message` is the port's failure, empty when the port held.
    void finished(tarvok::cli::Exit code, const QString& message);

private:
    void run_next();
    void exchanged(const bus::Result& result);
    void noted(const bus::Note& note);
    void note_line_change(StepResult& result);
    void port_lost(const serial::SerialError& error);
    void stop(Exit code, const QString& message);
    std::optional<QString> use_line(const protocol::LineSetting& line);
    protocol::LineSetting line_for(std::uint8_t address) const;

    RunConfig config_;
    serial::Port* port_;
    bus::Bus* bus_;
    std::vector<StepResult> results_;
    // Modules whose line a successful line setting changed during this run.
    std::map<std::uint8_t, protocol::LineSetting> moved_;
    protocol::LineSetting current_;
    std::size_t index_ = 0;
    std::size_t noting_ = 0;  // the step whose exchange the bus's notes are about
    bool waiting_ = false;
    bool stopped_ = false;
    std::optional<Exit> interrupted_;
};

}  // namespace tarvok::cli
