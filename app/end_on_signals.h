// SIGTERM, SIGHUP and SIGINT (kill, a logout, Ctrl-C in the terminal) close the main
// window as its close button does, so the port closes and its lock file goes; a
// signal's own ending would leave both behind, and the port "busy" for everyone else
// until a reboot. The signals come through the self-pipe (posix/signal_pipe.h) to
// Qt's event loop.
#pragma once

#include <QObject>

#include <memory>
#include <optional>

#include "posix/signal_pipe.h"

class QSocketNotifier;
class QWidget;

namespace tarvok::app {

class EndOnSignals : public QObject {
public:
    explicit EndOnSignals(QWidget& window);
    ~EndOnSignals() override;
    EndOnSignals(const EndOnSignals&) = delete;
    EndOnSignals& operator=(const EndOnSignals&) = delete;

    // The exit code after a signal, 128 plus its number as a shell reports a program
    // killed by it; nothing while none came.
    [[nodiscard]] std::optional<int> exit_code() const { return exit_code_; }

private:
    void take();

    QWidget& window_;
    posix::SignalPipe pipe_;
    std::unique_ptr<QSocketNotifier> notifier_;  // goes before the pipe it watches
    std::optional<int> exit_code_;
};

}  // namespace tarvok::app
