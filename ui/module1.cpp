#include "ui/module1.h"

#include <QLineEdit>

#include "protocol/number_text.h"
#include "serial/serial_line.h"

namespace tarvok::ui {

template <typename Encode>
SendResult Module1::send(protocol::Frame& buffer, Encode encode) {
    const auto address = protocol::address_byte(add_.text().toStdString());
    if (!address) {
        return SendResult::bad_address;
    }
    buffer = encode(*address);
    if (!comm_.port_open()) {
        return SendResult::port_closed;
    }
    // A reply is matched to nothing, so whatever waits from before must go first.
    comm_.discard_input();
    comm_.output(buffer);
    return SendResult::sent;
}

SendResult Module1::send_frame2(std::uint8_t code, std::uint8_t p1, std::uint8_t p2) {
    return send(tx_frame2_, [&](std::uint8_t address) {
        return protocol::encode_frame2(address, code, p1, p2);
    });
}

SendResult Module1::send_frame3(std::uint8_t code, std::uint8_t p1, std::uint8_t p2,
                                std::uint8_t p3) {
    return send(tx_frame3_, [&](std::uint8_t address) {
        return protocol::encode_frame3(address, code, p1, p2, p3);
    });
}

SendResult Module1::send_frame4(std::uint8_t code, std::uint8_t p1, std::uint8_t p2,
                                std::uint8_t p3, std::uint8_t p4) {
    return send(tx_frame4_, [&](std::uint8_t address) {
        return protocol::encode_frame4(address, code, p1, p2, p3, p4);
    });
}

}  // namespace tarvok::ui
