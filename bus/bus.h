// The bus engine: one half-duplex exchange at a time on an open serial::Port, driven
// by the event loop alone. It waits for a quiet line, reports and drops whatever
// waits before a frame goes out, and feeds the Exchange rules (bus/exchange.h) with
// what arrives and the time that passes. Shared by every program that waits for
// replies.
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <cstdint>
#include <map>
#include <optional>

#include "bus/exchange.h"

class QTimer;

namespace tarvok::serial {
class Port;
}

namespace tarvok::bus {

class Bus : public QObject {
    Q_OBJECT

public:
    explicit Bus(serial::Port& port, QObject* parent = nullptr);

    // Runs one exchange; finished() follows once. One at a time: the next may be asked
    // for from the finished() handler.
    void exchange(const Request& request);
    bool busy() const { return queued_.has_value() || (current_ && !current_->finished()); }
    // Forgets the exchange in flight without a result, as when the port went away.
    void abandon();

signals:
    void noted(const tarvok::bus::Note& note);
    void finished(const tarvok::bus::Result& result);
    // Bytes that waited on the line before a frame went out, dropped unread.
    void discarded(const QByteArray& bytes);

private:
    void try_start();
    void take_bytes();
    void tick();
    void apply(const Step& step);
    void start_timer(Micros at);
    void publish_notes();
    Micros now() const;

    serial::Port& port_;
    QTimer* timer_;
    QElapsedTimer clock_;
    std::optional<Request> queued_;
    std::optional<Exchange> current_;
    QByteArray stray_;
    // Until when a reply to the last frame with a given address and command may
    // still come, by those two bytes.
    std::map<std::uint16_t, Micros> open_until_;
    Micros any_open_until_{};
    bool result_sent_ = false;
    Micros last_byte_{Micros::min()};
};

}  // namespace tarvok::bus
