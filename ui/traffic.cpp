#include "ui/traffic.h"

#include <QLocale>

#include "plan/job_record.h"
#include "protocol/reply.h"
#include "serial/line_settings.h"
#include "ui/text.h"

Q_LOGGING_CATEGORY(lcWire, "tarvok.wire", QtWarningMsg)

namespace tarvok::ui {

namespace {

using Kind = TrafficEvent::Kind;

std::vector<std::uint8_t> bytes_of(const QByteArray& bytes) { return {bytes.begin(), bytes.end()}; }

protocol::Frame frame_of(const QByteArray& bytes) { return protocol::frame_from(bytes_of(bytes)); }

QString hex_of(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

TrafficWords wire(qint64 ms, const protocol::WireWords& w) {
    return {ms, from(w.direction), from(w.hex), from(w.meaning), from(protocol::line(w))};
}

// "接收": what the record calls a received frame the window words itself.
QString received() { return Traffic::tr("接收"); }

TrafficWords plain(qint64 ms, const QString& kind, const QString& meaning) {
    return {ms, kind, {}, meaning, kind + QStringLiteral(" · ") + meaning};
}

// A received frame in words: its verdict and what it stands for beside it.
TrafficWords heard(const TrafficEvent& e, const std::string& more) {
    protocol::WireWords w = protocol::received_words(frame_of(e.bytes), e.about);
    if (!more.empty()) {
        w.meaning += " · " + more;
    }
    return wire(e.ms, w);
}

TrafficWords junk_words(const TrafficEvent& e) {
    const bool group = e.bytes.size() == protocol::kFrameSize &&
                       (e.bytes.front() == char(protocol::kReplyStart) ||
                        e.bytes.front() == char(protocol::kCommandStart));
    if (group) {
        // Eight bytes that look like a frame and fail its check: say why.
        const auto frame = frame_of(e.bytes);
        return wire(e.ms, {received().toStdString(), protocol::hex(frame),
                           protocol::describe(protocol::judge(frame), frame)});
    }
    const QString hex = hex_of(e.bytes);
    const QString count =
        Traffic::tr("%1 字节", nullptr, int(e.bytes.size())).arg(grouped(e.bytes.size()));
    const QString kind = Traffic::tr("丢弃");
    return {e.ms, kind, hex, count, QStringLiteral("%1 %2: %3").arg(kind, count, hex)};
}

QString no_reply_meaning(const TrafficEvent& e) {
    const int address = e.about ? (*e.about)[protocol::kAddressByte] : 0;
    if (e.busy) {
        return Traffic::tr("地址 %1：%2")
            .arg(address)
            .arg(from(std::string(protocol::busy_words())));
    }
    return Traffic::tr("地址 %1 在 %2 ms 内没有有效回复，请检查模块地址、波特率和校验位、接线")
        .arg(address)
        .arg(e.waited_ms);
}

std::string about_words(const TrafficEvent& e) {
    return e.about ? protocol::sent_words(*e.about).meaning : std::string();
}

QString port_kind() { return Traffic::tr("串口"); }

int rounded_ms(bus::Micros span) { return static_cast<int>((span.count() + 500) / 1000); }

}  // namespace

QString grouped(qint64 number) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::DefaultNumberOptions);
    return c.toString(number);
}

TrafficWords words(const TrafficEvent& e) {
    switch (e.kind) {
    case Kind::sent:
        return wire(e.ms, protocol::sent_words(frame_of(e.bytes)));
    case Kind::reply:
        return heard(e, e.late ? protocol::late_words(e.waited_ms) : std::string());
    case Kind::echo:
        return wire(e.ms, {received().toStdString(), hex_of(e.bytes).toStdString(),
                           std::string(protocol::echo_words())});
    case Kind::garbled_echo:
        return wire(e.ms, {received().toStdString(), hex_of(e.bytes).toStdString(),
                           std::string(protocol::garbled_echo_words())});
    case Kind::junk:
        return junk_words(e);
    case Kind::unmatched:
        return heard(e, {});
    case Kind::duplicate:
        return heard(e, std::string(protocol::duplicate_words()));
    case Kind::late:
        return heard(e, Traffic::tr("%1，对应 %2")
                            .arg(from(protocol::late_words(e.waited_ms)), from(about_words(e)))
                            .toStdString());
    case Kind::no_reply:
        return plain(e.ms, Traffic::tr("无应答"), no_reply_meaning(e));
    case Kind::busy:
        return plain(e.ms, Traffic::tr("线路"), no_reply_meaning(e));
    case Kind::opened:
        return plain(e.ms, port_kind(),
                     Traffic::tr("串口 %1 已打开（%2，%3）").arg(e.port).arg(e.device, e.settings));
    case Kind::lost:
        return plain(e.ms, port_kind(),
                     Traffic::tr("串口 %1（%2）已断开").arg(e.port).arg(e.device));
    case Kind::closed:
        break;
    }
    return plain(e.ms, port_kind(), Traffic::tr("串口 %1 已关闭").arg(e.port));
}

QString stamp_of(const QDateTime& time) {
    return time.toString(QString::fromLatin1(plan::kTimePattern.data(),
                                             static_cast<qsizetype>(plan::kTimePattern.size())));
}

QString began_words(const QDateTime& began) {
    return Traffic::tr("记录开始于 %1（以下时间从此刻算起）").arg(stamp_of(began));
}

QString line(const TrafficWords& w) {
    return QStringLiteral("%1 ms  ").arg(grouped(w.ms), 10) + w.text;
}

Traffic::Traffic(QObject* parent) : QObject(parent) { since_start_.start(); }

void Traffic::port_opened(int port, const QString& device, const protocol::LineSetting& line) {
    port_ = port;
    last_sent_.reset();
    TrafficEvent event;
    event.kind = Kind::opened;
    event.device = device;
    event.settings = QString::fromStdString(serial::settings_text(line));
    record(event);
}

void Traffic::port_closed() {
    TrafficEvent event;
    event.kind = Kind::closed;
    record(event);
}

void Traffic::port_lost(const QString& device) {
    TrafficEvent event;
    event.kind = Kind::lost;
    event.device = device;
    record(event);
}

void Traffic::noted(const bus::Note& note) {
    TrafficEvent event;
    event.bytes = QByteArray(reinterpret_cast<const char*>(note.bytes.data()),
                             static_cast<qsizetype>(note.bytes.size()));
    event.about = last_sent_;
    event.waited_ms = rounded_ms(note.after);
    switch (note.kind) {
    case bus::Note::Kind::sent:
        if (note.bytes.size() == protocol::kFrameSize) {
            last_sent_ = protocol::frame_from(note.bytes);
        }
        event.kind = Kind::sent;
        break;
    case bus::Note::Kind::reply:
        event.kind = Kind::reply;
        event.late = note.late;
        break;
    case bus::Note::Kind::echo:
        event.kind = Kind::echo;
        break;
    case bus::Note::Kind::garbled_echo:
        event.kind = Kind::garbled_echo;
        break;
    case bus::Note::Kind::junk:
        event.kind = Kind::junk;
        break;
    case bus::Note::Kind::unmatched:
        event.kind = Kind::unmatched;
        break;
    case bus::Note::Kind::duplicate:
        event.kind = Kind::duplicate;
        break;
    case bus::Note::Kind::late:
        event.kind = Kind::late;
        break;
    case bus::Note::Kind::deadline:
        return;  // the exchange may still end with a late reply; its end says
    }
    record(event);
}

void Traffic::exchanged(const bus::Result& result) {
    if (result.not_sent || (result.reply && !result.busy)) {
        return;
    }
    TrafficEvent event;
    event.kind = result.reply ? Kind::busy : Kind::no_reply;
    event.about = result.sent;
    event.busy = result.busy;
    event.waited_ms = rounded_ms(result.deadline);
    record(event);
}

void Traffic::discarded(std::span<const std::uint8_t> bytes) {
    bus::Note note;
    note.kind = bus::Note::Kind::junk;
    note.bytes.assign(bytes.begin(), bytes.end());
    noted(note);
}

void Traffic::clear() {
    events_.clear();
    dropped_ = 0;
}

void Traffic::record(TrafficEvent event) {
    if (events_.empty() && dropped_ == 0) {
        since_start_.restart();
        began_ = QDateTime::currentDateTime();
    }
    event.ms = since_start_.elapsed();
    event.port = port_;
    qCDebug(lcWire, "%s", qUtf8Printable(line(words(event))));
    if (events_.size() == kMostEvents) {
        events_.pop_front();
        ++dropped_;
    }
    events_.push_back(std::move(event));
    emit recorded(events_.back());
}

}  // namespace tarvok::ui
