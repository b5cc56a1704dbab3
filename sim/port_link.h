// The port-number registration: $XDG_CONFIG_HOME/tarvok/ports/comN is a symbolic link
// to the device the tool opens as port N. The simulator points it at its pty slave
// for as long as it runs.
#pragma once

#include <filesystem>
#include <string>
#include <variant>

namespace tarvok::sim {

// The ports folder for the given environment values (either may be null). A relative
// XDG_CONFIG_HOME is ignored, as the base-directory rules say. Empty when neither
// gives an absolute folder.
std::filesystem::path ports_directory(const char* xdg_config_home, const char* home);

// Owns the link while it exists; removes it on destruction if it still points at
// the target it was made for (someone may have re-pointed it meanwhile).
class PortLink {
public:
    // Makes `link` point at `target`. A link to a live character device belongs to
    // someone else and is left alone (Chinese error text then); a stale one, whose
    // target is gone or is no device, is replaced.
    static std::variant<PortLink, std::string> claim(const std::filesystem::path& link,
                                                     const std::string& target);

    PortLink(PortLink&& other) noexcept;
    PortLink& operator=(PortLink&&) = delete;
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;
    ~PortLink();

    [[nodiscard]] const std::filesystem::path& path() const { return link_; }
    // Where the stale link pointed before it was replaced; empty when none was.
    [[nodiscard]] const std::string& replaced_target() const { return replaced_; }

private:
    PortLink(std::filesystem::path link, std::string target, std::string replaced);

    std::filesystem::path link_;
    std::string target_;
    std::string replaced_;
};

}  // namespace tarvok::sim
