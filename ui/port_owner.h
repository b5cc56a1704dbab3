// What a window that works on the main window's serial port may ask of the main window,
// and all it may touch of it: which port and line its controls name, the port itself for
// a while, the traffic record, a module to take up, and modules to hand to 批量配置. No
// window includes another's header or touches its widgets.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "protocol/request.h"

class QObject;

namespace tarvok::serial {
class Port;
}

namespace tarvok::ui {

class Traffic;

struct PortChoice {
    int port = 1;
    protocol::LineSetting line;
};

// A module found on the bus: its address and the line it answered at.
struct KnownModule {
    std::uint8_t address = 0;
    protocol::LineSetting line;
};

class PortOwner {
public:
    virtual ~PortOwner() = default;

    // The port number and the line of the main window's controls, or the sentence that
    // says why its port number is none.
    virtual std::variant<PortChoice, QString> port_choice() const = 0;
    // Calls `changed` whenever that choice may have changed, for as long as `context` lives.
    virtual void watch_choice(QObject* context, std::function<void()> changed) = 0;
    // The port, open or closed, for the borrower alone until give_back(); meanwhile the
    // main window's controls that would use it rest and its own watch of the line
    // stops. The borrower may open it (at the chosen port) when it was closed, and
    // change its line.
    virtual serial::Port& lend() = 0;
    virtual bool lent() const = 0;
    // Whether the main window had the port open when it lent it.
    virtual bool open_before_loan() const = 0;
    // The port back as it was before: open at the main window's own line, or closed. A
    // sentence when it could not be (a device that went away stays closed).
    virtual std::optional<QString> give_back() = 0;
    virtual Traffic& traffic() = 0;
    // A module found elsewhere: its address into 模块地址, and, while the port is closed,
    // its line into 波特率 and 校验位. The sentence to show when the open port runs at
    // another line.
    virtual std::optional<QString> use_module(std::uint8_t address,
                                              const protocol::LineSetting& line) = 0;
    // Opens 批量配置 with these modules' addresses and lines, for its rows.
    virtual void open_batch_with(const std::vector<KnownModule>& modules) = 0;
};

}  // namespace tarvok::ui
