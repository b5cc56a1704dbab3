#include "cli/stop_signals.h"

#include <QSocketNotifier>

#include <array>
#include <csignal>

namespace tarvok::cli {

namespace {

constexpr std::array kStopSignals{SIGINT, SIGTERM, SIGHUP};

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent), pipe_(kStopSignals) {
    if (!pipe_.ok()) {
        return;  // the signals then end the program as they always would
    }
    notifier_ = std::make_unique<QSocketNotifier>(pipe_.fd(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &StopSignals::take);
}

StopSignals::~StopSignals() = default;

void StopSignals::take() {
    for (const int signo : pipe_.take()) {
        emit caught(signo);
    }
}

}  // namespace tarvok::cli
