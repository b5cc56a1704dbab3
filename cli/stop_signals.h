// SIGINT, SIGTERM and SIGHUP as events: a run finishes the exchange in flight, marks
// the rest not sent and prints its summary instead of dying mid-frame. The signals
// come through the self-pipe (posix/signal_pipe.h) to Qt's event loop.
#pragma once

#include <QObject>

#include <memory>

#include "cli/exit_codes.h"
#include "posix/signal_pipe.h"

class QSocketNotifier;

namespace tarvok::cli {

class StopSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; one instance at a time in a process.
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

signals:
    void caught(int signo);

private:
    void take();

    posix::SignalPipe pipe_;
    // Goes before the pipe it watches.
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tarvok::cli
