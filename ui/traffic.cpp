#include "ui/traffic.h"

#include "bus/traffic_words.h"
#include "plan/job_record.h"
#include "ui/text.h"

Q_LOGGING_CATEGORY(lcWire, "tarvok.wire", QtWarningMsg)

namespace tarvok::ui {

QString stamp_of(const QDateTime& time) {
    return time.toString(QString::fromLatin1(plan::kTimePattern.data(),
                                             static_cast<qsizetype>(plan::kTimePattern.size())));
}

QString began_words(const QDateTime& began) {
    return from(bus::began_words(stamp_of(began).toStdString()));
}

Traffic::Traffic(QObject* parent) : QObject(parent) {
    record_.set_listener([this](const TrafficEvent& event) {
        qCDebug(lcWire, "%s", bus::traffic_line(bus::traffic_words(event)).c_str());
        emit recorded(event);
    });
}

void Traffic::port_opened(int port, const QString& device, const protocol::LineSetting& line) {
    record_.port_opened(port, device.toStdString(), line);
}

QDateTime Traffic::began() const {
    return QDateTime::fromMSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::milliseconds>(record_.began().time_since_epoch())
            .count());
}

}  // namespace tarvok::ui
