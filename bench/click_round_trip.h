// Round trips through a window as an operator makes them: a click, then the event
// loop until the result is up. Shared by the window's measurement and its minimal Qt
// yardstick, so that both are timed and stopped alike.
#pragma once

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

#include "bench/bench_support.h"

namespace tarvok::bench {

inline constexpr int kClickTimeoutMs = 2000;

// Ends a round trip once `window` has painted: armed before a press, it leaves the
// loop on the next turn, after the whole paint (children included) has run.
class PaintStop : public QObject {
public:
    PaintStop(QWidget& window, QEventLoop& loop) : QObject(&window), loop_(loop) {
        window.installEventFilter(this);
    }
    void arm() { armed_ = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (armed_ && event->type() == QEvent::Paint) {
            armed_ = false;
            QMetaObject::invokeMethod(
                &loop_, [this] { loop_.exit(0); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop& loop_;
    bool armed_ = false;
};

// `count` clicks on `button`, each timed until `loop` is left with 0 (1 is a
// timeout). `before` runs ahead of each press, outside the clock, and then whatever
// it left for the event loop is done.
inline Timed click_round_trips(QAbstractButton& button, QEventLoop& loop, int count,
                               const std::function<void()>& before = {}) {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    Timed timed;
    for (int i = 0; i < count; ++i) {
        if (before) {
            before();
            QCoreApplication::processEvents();
        }
        const double cpu_start = cpu_us();
        const auto start = Clock::now();
        QTest::mouseClick(&button, Qt::LeftButton);
        guard.start(kClickTimeoutMs);
        if (loop.exec() != 0) {
            std::fprintf(stderr, "benchmark: no result within %d ms\n", kClickTimeoutMs);
            std::exit(1);
        }
        timed.add(micros(Clock::now() - start), cpu_us() - cpu_start);
        guard.stop();
    }
    return timed;
}

}  // namespace tarvok::bench
