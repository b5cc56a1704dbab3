// The COM ports the system has now, as Windows tools list them: from the serial
// device map (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), which every serial driver fills
// while its device is there.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvok::win {

struct AvailablePort {
    int number;           // N of COMN
    std::wstring device;  // the driver's name for it, e.g. \Device\Serial0 or \Device\VCP0
};

// Ascending by number; empty when the map is missing (no serial device at all).
std::vector<AvailablePort> available_ports();

// "COM12" is 12 (any case); nothing for any other name or a number outside 1 to 255.
std::optional<int> com_number(std::wstring_view name);

// "1 = COM1 (\Device\Serial0)", one line a port, the lines joined by `between`; for
// the port number's tooltip and tarvokctl's ports.
std::wstring port_table_text(const std::vector<AvailablePort>& ports,
                             std::wstring_view between = L"\r\n");

}  // namespace tarvok::win
