#include "ui/module1.h"

#include <QLineEdit>

#include "protocol/number_text.h"
#include "ui/ms_comm.h"
#include "ui/wire_watch.h"

namespace tarvok::ui {

template <typename Encode>
SendResult Module1::send_built(Encode encode) {
    const auto address = protocol::address_byte(add_.text().toStdString());
    if (!address) {
        return SendResult::bad_address;
    }
    const protocol::Frame frame = encode(*address);
    if (!comm_.port_open()) {
        return SendResult::port_closed;
    }
    // A reply is matched to nothing, so whatever waits from before must go first. The
    // watch has heard those bytes already and put them in the record.
    comm_.discard_input();
    if (!comm_.output(frame)) {
        // A line that went away meanwhile has already been reported as lost.
        return comm_.port_open() ? SendResult::write_failed : SendResult::port_closed;
    }
    watch_.sent(frame, comm_.settings());
    return SendResult::sent;
}

SendResult Module1::send(const protocol::Request& request) {
    const auto c = protocol::command_bytes(request);
    const auto code = static_cast<std::uint8_t>(c.command);
    const auto& p = c.params;
    switch (c.builder) {
    case protocol::Builder::frame2:
        return send_frame2(code, p[2], p[3]);
    case protocol::Builder::frame3:
        return send_frame3(code, p[1], p[2], p[3]);
    case protocol::Builder::frame4:
        break;
    }
    return send_frame4(code, p[0], p[1], p[2], p[3]);
}

SendResult Module1::send_frame2(std::uint8_t code, std::uint8_t p1, std::uint8_t p2) {
    return send_built([&](std::uint8_t a) { return protocol::encode_frame2(a, code, p1, p2); });
}

SendResult Module1::send_frame3(std::uint8_t code, std::uint8_t p1, std::uint8_t p2,
                                std::uint8_t p3) {
    return send_built([&](std::uint8_t a) { return protocol::encode_frame3(a, code, p1, p2, p3); });
}

SendResult Module1::send_frame4(std::uint8_t code, std::uint8_t p1, std::uint8_t p2,
                                std::uint8_t p3, std::uint8_t p4) {
    return send_built(
        [&](std::uint8_t a) { return protocol::encode_frame4(a, code, p1, p2, p3, p4); });
}

}  // namespace tarvok::ui
