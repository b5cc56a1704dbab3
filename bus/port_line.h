// serial::Port as the bus engine's Line, timed by Qt's event loop: the port's bytes,
// faults and loss reach the listener, and one precise single-shot timer is its alarm.
// TapLine watches a port that someone else reads (the window reads its own replies)
// and hands the engine a copy of every byte, so the window's frames are judged too.
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <vector>

#include "bus/line.h"

class QTimer;

namespace tarvok::serial {
class Port;
}

namespace tarvok::bus {

class PortLine : public QObject, public Line {
    Q_OBJECT

public:
    explicit PortLine(serial::Port& port, QObject* parent = nullptr);

    void set_listener(LineListener* listener) override { listener_ = listener; }
    Micros now() const override;
    void wake_at(Micros at) override;
    void cancel_wake() override;
    bool write(std::span<const std::uint8_t> bytes) override;
    std::vector<std::uint8_t> take_input() override;
    bool set_setting(const protocol::LineSetting& setting) override;
    protocol::LineSetting setting() const override;
    bool is_open() const override;

protected:
    // Bytes are taken from the port itself unless a watcher keeps its own copy.
    virtual std::vector<std::uint8_t> received();
    LineListener* listener() const { return listener_; }
    serial::Port& port() const { return port_; }

private:
    serial::Port& port_;
    QTimer* timer_;
    QElapsedTimer clock_;
    LineListener* listener_ = nullptr;
};

class TapLine : public PortLine {
    Q_OBJECT

public:
    explicit TapLine(serial::Port& port, QObject* parent = nullptr);
    // Never writes: the port's owner sends.
    bool write(std::span<const std::uint8_t> bytes) override;
    bool set_setting(const protocol::LineSetting& setting) override;

protected:
    std::vector<std::uint8_t> received() override;

private:
    std::vector<std::uint8_t> copy_;
};

}  // namespace tarvok::bus
