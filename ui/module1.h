// The frame builders: read the address box, encode, and write to the line when it
// is open.
#pragma once

#include <cstdint>

#include "protocol/frame.h"
#include "protocol/request.h"

class QLineEdit;

namespace tarvok::ui {

enum class SendResult {
    sent,          // the frame went to the line
    port_closed,   // built, nothing written, nothing cleared
    bad_address,   // the address text is not a number from 0 to 255; nothing built or sent
    write_failed,  // the line refused the bytes
};

class MSComm;
class WireWatch;

class Module1 {
public:
    Module1(const QLineEdit& add, MSComm& comm, WireWatch& watch)
        : add_(add), comm_(comm), watch_(watch) {}

    // A setting, through the builder its command uses.
    SendResult send(const protocol::Request& request);

    SendResult send_frame2(std::uint8_t code, std::uint8_t p1, std::uint8_t p2);
    SendResult send_frame3(std::uint8_t code, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3);
    SendResult send_frame4(std::uint8_t code, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3,
                           std::uint8_t p4);

private:
    template <typename Encode>
    SendResult send_built(Encode encode);

    const QLineEdit& add_;
    MSComm& comm_;
    WireWatch& watch_;
};

}  // namespace tarvok::ui
