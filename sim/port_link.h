// The port-number registration: $XDG_CONFIG_HOME/tarvok/ports/comN is a symbolic link
// to the device the tool opens as port N. The simulator points it at its pty slave
// for as long as it runs.
//
// Ownership is proved, not guessed: beside each link it makes, the simulator keeps
// comN.owner, holding its pid, with an flock on it for as long as it runs. The
// kernel drops that lock however the process ends (kill -9, a crash, a power cut),
// so a link is
//   - a running simulator's when its owner file is locked;
//   - stale when its owner file is not locked: the next simulator replaces it, and
//     the window refuses to open it;
//   - the user's own when it has no owner file: never replaced or removed.
#pragma once

#include <filesystem>
#include <string>
#include <variant>

#include "sim/unique_fd.h"

namespace tarvok::sim {

// The ports folder for the given environment values (either may be null). A relative
// XDG_CONFIG_HOME is ignored, as the base-directory rules say, and as the window
// ignores it. Empty when neither gives an absolute folder.
std::filesystem::path ports_directory(const char* xdg_config_home, const char* home);

std::filesystem::path port_link_path(const std::filesystem::path& dir, int port);
std::filesystem::path owner_path(const std::filesystem::path& link);

enum class PortUse {
    free,       // no link
    stale,      // a simulator's link, the simulator gone
    simulator,  // a running simulator's link
    user,       // the user's own link, or any other file of that name
};

PortUse port_use(const std::filesystem::path& link);

// The lowest port number from 1 that a simulator may take (free or stale); 0 if none.
int first_free_port(const std::filesystem::path& dir);

// Owns the link and its owner file while it exists. On destruction it removes the
// link if it still points at the target it was made for (someone may have re-pointed
// it meanwhile), then the owner file, then lets go of the lock.
class PortLink {
public:
    // Makes port `port` in `dir` point at `target`, or refuses in Chinese, naming
    // the link and a free number to use instead.
    static std::variant<PortLink, std::string> claim(const std::filesystem::path& dir, int port,
                                                     const std::string& target);
    // The first port number that can be claimed.
    static std::variant<PortLink, std::string> claim_first_free(const std::filesystem::path& dir,
                                                                const std::string& target);

    PortLink(PortLink&& other) noexcept;
    PortLink& operator=(PortLink&&) = delete;
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;
    ~PortLink();

    [[nodiscard]] int port() const { return port_; }
    [[nodiscard]] const std::filesystem::path& path() const { return link_; }
    // Where the stale link pointed before it was replaced; empty when none was.
    [[nodiscard]] const std::string& replaced_target() const { return replaced_; }

private:
    PortLink(int port, std::filesystem::path link, std::string target, std::string replaced,
             UniqueFd owner);

    int port_;
    std::filesystem::path link_;
    std::string target_;
    std::string replaced_;
    UniqueFd owner_;
};

}  // namespace tarvok::sim
