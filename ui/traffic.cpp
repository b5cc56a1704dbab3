#include "ui/traffic.h"

#include <QLocale>
#include <QTimer>

#include "protocol/reply.h"

Q_LOGGING_CATEGORY(lcWire, "tarvok.wire", QtWarningMsg)

namespace tarvok::ui {

namespace {

using Kind = TrafficEvent::Kind;
using Heard = TrafficEvent::Heard;

TrafficEvent of(Kind kind, int port) {
    TrafficEvent event;
    event.kind = kind;
    event.port = port;
    return event;
}

QString from(const std::string& text) { return QString::fromStdString(text); }

TrafficWords wire(qint64 ms, const protocol::WireWords& w) {
    return {ms, from(w.direction), from(w.hex), from(w.meaning), from(protocol::line(w))};
}

TrafficWords plain(qint64 ms, const QString& kind, const QString& meaning) {
    return {ms, kind, {}, meaning, kind + QStringLiteral(" · ") + meaning};
}

// A received group in the bus engine's words for what it is beside its verdict.
TrafficWords heard_words(const TrafficEvent& e) {
    protocol::WireWords w = protocol::received_words(e.frame, e.last_sent);
    const std::string verdict = protocol::describe(protocol::judge(e.frame), e.frame) + " · ";
    switch (e.heard) {
    case Heard::echo:
        w.meaning = protocol::kEchoWords;
        break;
    case Heard::garbled_echo:
        w.meaning = protocol::kGarbledEchoWords;
        break;
    case Heard::second_reply:
        w.meaning = verdict + std::string(protocol::kDuplicateWords);
        break;
    case Heard::late_reply:
        w.meaning = verdict + protocol::late_words(e.waited_ms) + "，对应 " +
                    protocol::sent_words(e.last_sent.value_or(e.frame)).meaning;
        break;
    case Heard::other:
        break;
    }
    return wire(e.ms, w);
}

}  // namespace

QString grouped(qint64 number) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::DefaultNumberOptions);
    return c.toString(number);
}

TrafficWords words(const TrafficEvent& e) {
    switch (e.kind) {
    case Kind::sent:
        return wire(e.ms, protocol::sent_words(e.frame));
    case Kind::received:
        return heard_words(e);
    case Kind::discarded: {
        const QString hex = QString::fromLatin1(e.bytes.toHex(' ').toUpper());
        const QString count = QStringLiteral("%1 字节").arg(grouped(e.bytes.size()));
        return {e.ms, QStringLiteral("丢弃"), hex, count,
                QStringLiteral("丢弃 %1: %2").arg(count, hex)};
    }
    case Kind::no_reply:
        return plain(e.ms, QStringLiteral("无应答"),
                     QStringLiteral("地址 %1 在 %2 ms 内没有有效回复，请检查模块地址、"
                                    "波特率和校验位、接线")
                         .arg(e.frame[protocol::kAddressByte])
                         .arg(e.waited_ms));
    case Kind::opened:
        return plain(
            e.ms, QStringLiteral("串口"),
            QStringLiteral("串口 %1 已打开（%2，%3）").arg(e.port).arg(e.device, e.settings));
    case Kind::lost:
        return plain(e.ms, QStringLiteral("串口"),
                     QStringLiteral("串口 %1（%2）已断开").arg(e.port).arg(e.device));
    case Kind::closed:
        break;
    }
    return plain(e.ms, QStringLiteral("串口"), QStringLiteral("串口 %1 已关闭").arg(e.port));
}

QString line(const TrafficWords& w) {
    return QStringLiteral("%1 ms  ").arg(grouped(w.ms), 10) + w.text;
}

Traffic::Traffic(QObject* parent) : QObject(parent), reply_timer_(new QTimer(this)) {
    reply_timer_->setSingleShot(true);
    connect(reply_timer_, &QTimer::timeout, this, &Traffic::no_reply);
    since_start_.start();
    since_sent_.start();
}

void Traffic::port_opened(int port, const QString& device, const QString& settings, int reply_ms) {
    port_ = port;
    last_sent_.reset();
    reply_timer_->setInterval(reply_ms);
    TrafficEvent event = of(Kind::opened, port);
    event.device = device;
    event.settings = settings;
    record(event);
}

void Traffic::port_closed() {
    reply_timer_->stop();
    record(of(Kind::closed, port_));
}

void Traffic::port_lost(const QString& device) {
    reply_timer_->stop();
    TrafficEvent event = of(Kind::lost, port_);
    event.device = device;
    record(event);
}

void Traffic::sent(const protocol::Frame& frame, bool await_reply) {
    last_sent_ = frame;
    answered_ = false;
    gave_up_ = false;
    since_sent_.restart();
    if (await_reply) {
        reply_timer_->start();
    } else {
        reply_timer_->stop();
    }
    TrafficEvent event = of(Kind::sent, port_);
    event.frame = frame;
    record(event);
}

void Traffic::received(const protocol::Frame& group) {
    const bool valid = protocol::accepted(protocol::judge(group));
    if (valid) {
        reply_timer_->stop();
    }
    TrafficEvent event = of(Kind::received, port_);
    event.frame = group;
    event.last_sent = last_sent_;
    event.heard = heard(group);
    if (event.heard == Heard::late_reply) {
        event.waited_ms = static_cast<int>(since_sent_.elapsed());
    }
    answered_ = answered_ || (valid && last_sent_ && protocol::echoes(group, *last_sent_));
    record(event);
}

TrafficEvent::Heard Traffic::heard(const protocol::Frame& group) const {
    if (!last_sent_) {
        return Heard::other;
    }
    if (group == *last_sent_) {
        return Heard::echo;
    }
    if (group[0] == protocol::kCommandStart) {
        return Heard::garbled_echo;
    }
    // A reply that does not repeat the command is told apart by received_words.
    if (!protocol::accepted(protocol::judge(group)) || !protocol::echoes(group, *last_sent_)) {
        return Heard::other;
    }
    if (answered_) {
        return Heard::second_reply;
    }
    return gave_up_ ? Heard::late_reply : Heard::other;
}

void Traffic::discarded(const QByteArray& bytes) {
    TrafficEvent event = of(Kind::discarded, port_);
    event.bytes = bytes;
    record(event);
}

void Traffic::no_reply() {
    if (last_sent_) {
        TrafficEvent event = of(Kind::no_reply, port_);
        event.frame = *last_sent_;
        event.waited_ms = reply_timer_->interval();
        gave_up_ = true;
        record(event);
    }
}

void Traffic::clear() {
    events_.clear();
    dropped_ = 0;
}

void Traffic::record(TrafficEvent event) {
    if (events_.empty() && dropped_ == 0) {
        since_start_.restart();
    }
    event.ms = since_start_.elapsed();
    qCDebug(lcWire, "%s", qUtf8Printable(line(words(event))));
    if (events_.size() == kMostEvents) {
        events_.pop_front();
        ++dropped_;
    }
    events_.push_back(std::move(event));
    emit recorded(events_.back());
}

}  // namespace tarvok::ui
