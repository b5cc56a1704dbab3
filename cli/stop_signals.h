// SIGINT, SIGTERM and SIGHUP as events: a run finishes the exchange in flight, marks
// the rest not sent and prints its summary instead of dying mid-frame.
#pragma once

#include <QObject>

#include "cli/exit_codes.h"

class QSocketNotifier;

namespace tarvok::cli {

// 128 plus the signal's number, as a shell reports a program killed by it.
Exit exit_for_signal(int signo);

class StopSignals : public QObject {
    Q_OBJECT

public:
    // Installs the handlers; one instance per process.
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

signals:
    void caught(int signo);

private:
    void take();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tarvok::cli
