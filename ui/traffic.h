// What crossed the wire while the window ran: every frame sent, every eight bytes
// judged, bytes dropped before a command, a command left without a valid reply, and
// the port opening, closing or going away. Recorded as plain values, at most the
// last kMostEvents, and put into words only when someone reads them: the traffic
// window, or the logging category tarvok.wire (off unless
// QT_LOGGING_RULES="tarvok.wire=true").
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

#include <deque>
#include <optional>

#include "protocol/frame.h"

Q_DECLARE_LOGGING_CATEGORY(lcWire)

class QTimer;

namespace tarvok::ui {

struct TrafficEvent {
    enum class Kind { opened, closed, lost, sent, received, discarded, no_reply };
    // How a received group stands to the command before it.
    enum class Heard {
        other,         // judged on its own: a reply, or bytes that are none
        echo,          // the command itself, handed back by the adapter
        garbled_echo,  // a command's start byte, but not the command sent
        second_reply,  // a valid reply to a command that already had one
        late_reply,    // a valid reply after its command's 无应答 line
    };
    Kind kind = Kind::sent;
    qint64 ms = 0;                             // since the record began
    protocol::Frame frame{};                   // sent, received; no_reply: the command
    std::optional<protocol::Frame> last_sent;  // received: the command before it
    Heard heard = Heard::other;                // received
    QByteArray bytes;                          // discarded
    int port = 0;                              // opened, closed, lost
    QString device;                            // opened, lost
    QString settings;                          // opened
    int waited_ms = 0;                         // no_reply; late_reply: since the command
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

class Traffic : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t kMostEvents = 10'000;

    explicit Traffic(QObject* parent = nullptr);

    // `reply_ms` is how long a reply may take at the line's rate.
    void port_opened(int port, const QString& device, const QString& settings, int reply_ms);
    void port_closed();
    void port_lost(const QString& device);
    // `await_reply` false: the sender judges silence itself (a bus scan), so no
    // 无应答 line follows.
    void sent(const protocol::Frame& frame, bool await_reply = true);
    void received(const protocol::Frame& group);
    void discarded(const QByteArray& bytes);

    const std::deque<TrafficEvent>& events() const { return events_; }
    // How many of the oldest events made room for newer ones.
    qint64 dropped() const { return dropped_; }
    void clear();

signals:
    void recorded(const tarvok::ui::TrafficEvent& event);

private:
    void record(TrafficEvent event);
    void no_reply();
    TrafficEvent::Heard heard(const protocol::Frame& group) const;

    QElapsedTimer since_start_;  // from the record's first event
    QElapsedTimer since_sent_;   // from last_sent_ going out
    QTimer* reply_timer_;
    std::optional<protocol::Frame> last_sent_;
    bool answered_ = false;  // last_sent_ had a valid reply that repeats it
    bool gave_up_ = false;   // last_sent_ had its 无应答 line
    std::deque<TrafficEvent> events_;
    qint64 dropped_ = 0;
    int port_ = 0;
};

}  // namespace tarvok::ui
