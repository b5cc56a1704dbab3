// Every frame the window sends and every eight bytes it judges, in words, on the
// logging category tarvok.wire (off unless QT_LOGGING_RULES="tarvok.wire=true").
#pragma once

#include <QLoggingCategory>

#include <optional>

#include "protocol/frame.h"

Q_DECLARE_LOGGING_CATEGORY(lcWire)

namespace tarvok::ui {

class WireLog {
public:
    void sent(const protocol::Frame& frame);
    void judged(const protocol::Frame& reply);
    // The frame that went out last, against which a reply's echo is checked.
    const std::optional<protocol::Frame>& last_sent() const { return last_sent_; }

private:
    std::optional<protocol::Frame> last_sent_;
};

}  // namespace tarvok::ui
