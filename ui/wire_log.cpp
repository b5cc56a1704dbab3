#include "ui/wire_log.h"

#include "protocol/reply.h"

Q_LOGGING_CATEGORY(lcWire, "tarvok.wire", QtWarningMsg)

namespace tarvok::ui {

void WireLog::sent(const protocol::Frame& frame) {
    last_sent_ = frame;
    qCDebug(lcWire, "%s", protocol::sent_line(frame).c_str());
}

void WireLog::judged(const protocol::Frame& reply) {
    qCDebug(lcWire, "%s", protocol::received_line(reply, last_sent_).c_str());
}

}  // namespace tarvok::ui
