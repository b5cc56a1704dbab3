// The frame builders: read the address box, encode, and write to the line when it
// is open. Each builder keeps its own buffer and rewrites all eight bytes of it.
#pragma once

#include <cstdint>

#include "protocol/frame.h"

class QLineEdit;

namespace tarvok::serial {
class SerialLine;
}

namespace tarvok::ui {

enum class SendResult {
    sent,         // the frame went to the line
    port_closed,  // built, nothing written, nothing cleared
    bad_address,  // the address text does not convert; nothing built or sent
};

class Module1 {
public:
    Module1(const QLineEdit& add, serial::SerialLine& comm) : add_(add), comm_(comm) {}

    SendResult send_frame2(std::uint8_t code, std::uint8_t p1, std::uint8_t p2);
    SendResult send_frame3(std::uint8_t code, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3);
    SendResult send_frame4(std::uint8_t code, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3,
                           std::uint8_t p4);

private:
    template <typename Encode>
    SendResult send(protocol::Frame& buffer, Encode encode);

    const QLineEdit& add_;
    serial::SerialLine& comm_;
    protocol::Frame tx_frame2_{};
    protocol::Frame tx_frame3_{};
    protocol::Frame tx_frame4_{};
};

}  // namespace tarvok::ui
