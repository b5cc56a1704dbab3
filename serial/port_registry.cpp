#include "serial/port_registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>
#include <system_error>

#include "protocol/number_text.h"

namespace tarvok::serial {

namespace fs = std::filesystem;

namespace {

bool exists_at(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// Whether nobody holds the lock on an existing owner file.
bool lock_is_free(const fs::path& owner) {
    const int fd = ::open(owner.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    const bool free = ::flock(fd, LOCK_SH | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

}  // namespace

fs::path ports_directory(const char* xdg_config_home, const char* home) {
    fs::path base;
    if (xdg_config_home != nullptr && fs::path(xdg_config_home).is_absolute()) {
        base = xdg_config_home;
    } else if (home != nullptr && fs::path(home).is_absolute()) {
        base = fs::path(home) / ".config";
    } else {
        return {};
    }
    return base / "tarvok" / "ports";
}

fs::path port_link_path(const fs::path& dir, int port) {
    return dir / ("com" + std::to_string(port));
}

fs::path owner_path(const fs::path& link) {
    fs::path owner = link;
    owner += ".owner";
    return owner;
}

std::optional<int> port_of_link_name(std::string_view name) {
    if (!name.starts_with("com") || name.starts_with("com0")) {
        return std::nullopt;
    }
    const auto number = protocol::whole_number(name.substr(3), kFirstPort, kLastPort);
    return number ? std::optional<int>(static_cast<int>(*number)) : std::nullopt;
}

PortUse port_use(const fs::path& link) {
    const fs::path owner = owner_path(link);
    const bool linked = exists_at(link);
    if (!exists_at(owner)) {
        return linked ? PortUse::user : PortUse::free;
    }
    if (!lock_is_free(owner)) {
        return PortUse::simulator;
    }
    std::error_code ec;
    if (linked && !fs::is_symlink(fs::symlink_status(link, ec))) {
        return PortUse::user;
    }
    return linked ? PortUse::stale : PortUse::free;
}

int first_free_port(const fs::path& dir) {
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        const PortUse use = port_use(port_link_path(dir, port));
        if (use == PortUse::free || use == PortUse::stale) {
            return port;
        }
    }
    return 0;
}

}  // namespace tarvok::serial
