// What crossed the wire while the window ran, as the bus engine judged it: every frame
// sent, every reply and what it answers, echoes, bytes that made no frame, a frame left
// without a valid reply, and the port opening, closing or going away. Whoever drives
// the line reports into it: the window's own frames through its watch (ui/wire_watch.h),
// a scan's or a plan's through the engine that sends them. Recorded as plain values, at
// most the last kMostEvents, and put into words only when someone reads them: the
// traffic window, or the logging category tarvok.wire (off unless
// QT_LOGGING_RULES="tarvok.wire=true").
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

#include <deque>
#include <optional>

#include "bus/exchange.h"
#include "protocol/frame.h"

Q_DECLARE_LOGGING_CATEGORY(lcWire)

namespace tarvok::ui {

struct TrafficEvent {
    enum class Kind {
        opened,
        closed,
        lost,
        sent,
        reply,         // the reply counted for the frame sent
        echo,          // the frame itself, handed back by the adapter
        garbled_echo,  // a command's start byte, but not the frame sent
        junk,          // bytes that make no valid frame
        unmatched,     // a valid reply that answers no frame in flight
        duplicate,     // a second reply to a frame that had one
        late,          // a reply to a frame after it was given up
        no_reply,      // a frame left without a valid reply
        busy,          // a reply was counted, but the line never went quiet after it
    };
    Kind kind = Kind::sent;
    qint64 ms = 0;                         // since the record began
    QByteArray bytes;                      // what was sent or heard
    std::optional<protocol::Frame> about;  // the frame sent before it
    int port = 0;                          // opened, closed, lost
    QString device;                        // opened, lost
    QString settings;                      // opened: "9600,n,8,1"
    int waited_ms = 0;  // no_reply: the deadline; late, and a reply counted late: its delay
    bool late = false;  // reply: counted after its deadline
    bool busy = false;  // no_reply: the line never went quiet
};

// An event in words: the columns of a saved log, and the text of its line.
struct TrafficWords {
    qint64 ms;
    QString kind;  // 发送, 接收, 丢弃, 无应答, 串口
    QString hex;
    QString meaning;
    QString text;  // "发送 55 05 44 00 00 01 03 A2 · 地址 5 第3路 关联方式 自锁"
};

TrafficWords words(const TrafficEvent& event);
// The text after the time: "     1,234 ms  发送 55 05 …".
QString line(const TrafficWords& words);
// 531464730 as "531,464,730", whatever the locale: every copy of a record reads alike.
QString grouped(qint64 number);
// "记录开始于 2026-12-07 14:03:05（以下时间从此刻算起）": a record's first line.
QString began_words(const QDateTime& began);
// "2026-12-07 14:03:05", as every time a person keeps is written (plan/job_record.h).
QString stamp_of(const QDateTime& time);

class Traffic : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t kMostEvents = 10'000;

    explicit Traffic(QObject* parent = nullptr);

    void port_opened(int port, const QString& device, const protocol::LineSetting& line);
    void port_closed();
    void port_lost(const QString& device);
    // What the bus engine met on the line.
    void noted(const bus::Note& note);
    // An exchange ended: no reply counted, or a line that never went quiet, is said.
    void exchanged(const bus::Result& result);
    // Bytes heard while no frame had gone out, dropped.
    void discarded(std::span<const std::uint8_t> bytes);

    const std::deque<TrafficEvent>& events() const { return events_; }
    // When the record's first event came, by the wall clock.
    const QDateTime& began() const { return began_; }
    // How many of the oldest events made room for newer ones.
    qint64 dropped() const { return dropped_; }
    void clear();

signals:
    void recorded(const tarvok::ui::TrafficEvent& event);

private:
    void record(TrafficEvent event);

    QElapsedTimer since_start_;  // from the record's first event
    QDateTime began_;
    std::optional<protocol::Frame> last_sent_;
    std::deque<TrafficEvent> events_;
    qint64 dropped_ = 0;
    int port_ = 0;
};

}  // namespace tarvok::ui
