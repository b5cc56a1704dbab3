// The traffic record (bus/traffic.h) for the Qt window: the same record, its events
// told as a signal, and its words (bus/traffic_words.h) as QStrings. Whoever drives the
// line reports into it: the window's own frames through its watch (ui/wire_watch.h), a
// scan's or a plan's through the engine that sends them. Each event is also written to
// the logging category tarvok.wire (off unless QT_LOGGING_RULES="tarvok.wire=true").
#pragma once

#include <QDateTime>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

#include "bus/traffic.h"

Q_DECLARE_LOGGING_CATEGORY(lcWire)

namespace tarvok::ui {

using TrafficEvent = bus::TrafficEvent;

// "记录开始于 2026-12-07 14:03:05（以下时间从此刻算起）": a record's first line.
QString began_words(const QDateTime& began);
// "2026-12-07 14:03:05", as every time a person keeps is written (plan/job_record.h).
QString stamp_of(const QDateTime& time);

class Traffic : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t kMostEvents = bus::TrafficRecord::kMostEvents;

    explicit Traffic(QObject* parent = nullptr);

    void port_opened(int port, const QString& device, const protocol::LineSetting& line);
    void port_closed() { record_.port_closed(); }
    void port_lost(const QString& device) { record_.port_lost(device.toStdString()); }
    // What the bus engine met on the line.
    void noted(const bus::Note& note) { record_.noted(note); }
    // An exchange ended: no reply counted, or a line that never went quiet, is said.
    void exchanged(const bus::Result& result) { record_.exchanged(result); }
    // Bytes heard while no frame had gone out, dropped.
    void discarded(std::span<const std::uint8_t> bytes) { record_.discarded(bytes); }

    const std::deque<TrafficEvent>& events() const { return record_.events(); }
    const bus::TrafficRecord& record() const { return record_; }
    // When the record's first event came, by the wall clock.
    QDateTime began() const;
    // How many of the oldest events made room for newer ones.
    qint64 dropped() const { return record_.dropped(); }
    void clear() { record_.clear(); }

signals:
    void recorded(const tarvok::bus::TrafficEvent& event);

private:
    bus::TrafficRecord record_;
};

}  // namespace tarvok::ui
