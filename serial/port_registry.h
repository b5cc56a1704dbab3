// The port numbers' registry, shared by every program that names or claims a port:
// the folder of comN links, each link's comN.owner, and the range of numbers.
// Plain C++ and POSIX, so the simulator uses it without Qt.
//
// $XDG_CONFIG_HOME/tarvok/ports/comN (default ~/.config/tarvok/ports/comN) is a
// symbolic link to the device that port N opens. Beside each link it makes,
// tarvok-sim keeps comN.owner, holding its pid, with an flock on it for as long as it
// runs; the kernel drops that lock however the process ends, so a link is
//   - a running simulator's when its owner file is locked;
//   - stale when its owner file is not locked: the next simulator replaces it, and
//     no program opens it, because its pty may belong to another program by now;
//   - the user's own when it has no owner file: never replaced or removed.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace tarvok::serial {

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 255;

// The ports folder for the given environment values (either may be null). A relative
// XDG_CONFIG_HOME is ignored, as the base-directory rules say. Empty when neither
// gives an absolute folder.
std::filesystem::path ports_directory(const char* xdg_config_home, const char* home);

std::filesystem::path port_link_path(const std::filesystem::path& dir, int port);
std::filesystem::path owner_path(const std::filesystem::path& link);

// The port a file name in the ports folder registers: "com12" is 12; nothing for any
// other name or a number outside kFirstPort to kLastPort.
std::optional<int> port_of_link_name(std::string_view name);

enum class PortUse {
    free,       // no link
    stale,      // a simulator's link, the simulator gone
    simulator,  // a running simulator's link
    user,       // the user's own link, or any other file of that name
};

PortUse port_use(const std::filesystem::path& link);

// The lowest port number that a simulator may take (free or stale); 0 if none.
int first_free_port(const std::filesystem::path& dir);

}  // namespace tarvok::serial
