// A port link the simulator owns while it runs: the link comN to its pty and the
// locked comN.owner beside it (see serial/port_registry.h for what proves whose a
// link is).
#pragma once

#include <filesystem>
#include <string>
#include <variant>

#include "serial/port_registry.h"
#include "sim/unique_fd.h"

namespace tarvok::sim {

using serial::first_free_port;
using serial::owner_path;
using serial::port_link_path;
using serial::port_use;
using serial::ports_directory;
using serial::PortUse;

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
