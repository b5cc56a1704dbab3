// A scan of the bus: at each line in turn, the no-op line frame (protocol/scan.h)
// to each address, through the bus engine. A reply is credited to the address and
// command just sent; a late one that names an address asked earlier at this line
// can only answer that frame, so it finds that module (and never the one just
// asked). No settle between addresses: every frame of a line names another address,
// so no reply can be mistaken for another's; a line costs its addresses times the
// deadline, and a found module a reply's gap more.
#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "bus/exchange.h"
#include "protocol/request.h"
#include "serial/serial_error.h"

namespace tarvok::serial {
class Port;
}

namespace tarvok::bus {

class Bus;

struct FoundModule {
    std::uint8_t address = 0;
    protocol::LineSetting line{};
    bool late = false;  // found by a reply that came after its deadline
};

struct ScanPlan {
    int port = 1;
    std::vector<protocol::LineSetting> lines;
    std::vector<std::uint8_t> addresses;
    int retries = 0;
    std::optional<int> deadline_ms;  // from the line rate when empty
};

// What a scan costs at most with no module answering and no retry: every address at
// every line waits for its deadline, 16 bytes of wire time plus the reply margin.
std::chrono::milliseconds scan_bound(const ScanPlan& plan);

enum class ScanEnd { completed, stopped, port_unavailable, port_lost };

class Scanner : public QObject {
    Q_OBJECT

public:
    // Opens `port` at each line of the plan in turn; the caller decides what it is
    // left at afterwards.
    explicit Scanner(serial::Port& port, QObject* parent = nullptr);

    void start(const ScanPlan& plan);
    // Ends after the exchange in flight.
    void stop();
    bool running() const { return running_; }
    const std::vector<FoundModule>& found() const { return found_; }
    // The engine the frames go through, for whoever records the traffic.
    Bus& bus() { return *bus_; }

signals:
    void line_started(const tarvok::protocol::LineSetting& line, int index, int count);
    // After each address: how many exchanges of the whole scan are done.
    void progress(int done, int total, std::uint8_t address);
    void module_found(const tarvok::bus::FoundModule& module);
    // The reply credited to a frame, before the next frame goes out, so a record of
    // the traffic keeps the wire's order.
    void replied(const tarvok::protocol::Frame& reply);
    // A module already found at another line answered again (a collision, or two
    // modules at one address on different lines): listed once.
    void found_again(const tarvok::bus::FoundModule& first,
                     const tarvok::protocol::LineSetting& again);
    void finished(tarvok::bus::ScanEnd end, const tarvok::serial::SerialError& error);

private:
    void next();
    void open_line();
    void exchanged(const Result& result);
    void noted(const Note& note);
    void record(std::uint8_t address, bool late);
    void finish(ScanEnd end, const serial::SerialError& error = {});

    serial::Port& port_;
    Bus* bus_;
    ScanPlan plan_;
    std::vector<FoundModule> found_;
    std::set<std::uint8_t> asked_;  // at the current line
    std::size_t line_ = 0;
    std::size_t address_ = 0;
    bool running_ = false;
    bool stopping_ = false;
    bool line_open_ = false;
};

}  // namespace tarvok::bus
