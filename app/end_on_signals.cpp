#include "app/end_on_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <array>
#include <csignal>

namespace tarvok::app {

namespace {

constexpr std::array kEndSignals{SIGTERM, SIGHUP, SIGINT};
constexpr int kSignalExitBase = 128;

}  // namespace

EndOnSignals::EndOnSignals(QWidget& window) : window_(window), pipe_(kEndSignals) {
    if (!pipe_.ok()) {
        return;  // the signals then end the program as they always would
    }
    notifier_ = std::make_unique<QSocketNotifier>(pipe_.fd(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &EndOnSignals::take);
}

EndOnSignals::~EndOnSignals() = default;

void EndOnSignals::take() {
    for (const int signo : pipe_.take()) {
        if (exit_code_) {
            continue;  // ending already
        }
        exit_code_ = kSignalExitBase + signo;
        window_.close();
        // Also when a window of its own keeps the program from quitting with it.
        QCoreApplication::exit(*exit_code_);
    }
}

}  // namespace tarvok::app
