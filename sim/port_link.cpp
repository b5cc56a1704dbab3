#include "sim/port_link.h"

#include <system_error>

namespace tarvok::sim {

namespace fs = std::filesystem;

namespace {

bool live_device(const fs::path& link) {
    std::error_code ec;
    return fs::is_character_file(fs::status(link, ec));
}

std::string link_target(const fs::path& link) {
    std::error_code ec;
    auto target = fs::read_symlink(link, ec);
    return ec ? std::string() : target.string();
}

// Error text for a link that cannot be taken, nothing when it may be (re)made.
std::string refusal(const fs::path& link, const fs::file_status& existing) {
    if (!fs::is_symlink(existing)) {
        return "错误：" + link.string() + " 已存在且不是符号链接，不会覆盖它。";
    }
    if (live_device(link)) {
        return "错误：端口链接 " + link.string() + " 已指向正在使用的设备 " + link_target(link) +
               "，不会替换。请换一个端口号（--port），或先停掉占用它的程序。";
    }
    return {};
}

}  // namespace

fs::path ports_directory(const char* xdg_config_home, const char* home) {
    fs::path base;
    if (xdg_config_home && fs::path(xdg_config_home).is_absolute()) {
        base = xdg_config_home;
    } else if (home && fs::path(home).is_absolute()) {
        base = fs::path(home) / ".config";
    } else {
        return {};
    }
    return base / "tarvok" / "ports";
}

std::variant<PortLink, std::string> PortLink::claim(const fs::path& link,
                                                    const std::string& target) {
    std::error_code ec;
    fs::create_directories(link.parent_path(), ec);
    if (ec) {
        return "错误：无法创建目录 " + link.parent_path().string() + "：" + ec.message();
    }
    std::string replaced;
    const auto existing = fs::symlink_status(link, ec);
    if (fs::exists(existing)) {
        if (auto why = refusal(link, existing); !why.empty()) {
            return why;
        }
        replaced = link_target(link);
        fs::remove(link, ec);
    }
    fs::create_symlink(target, link, ec);
    if (ec) {
        return "错误：无法创建端口链接 " + link.string() + " → " + target + "：" + ec.message();
    }
    return PortLink(link, target, replaced);
}

PortLink::PortLink(fs::path link, std::string target, std::string replaced)
    : link_(std::move(link)), target_(std::move(target)), replaced_(std::move(replaced)) {}

PortLink::PortLink(PortLink&& other) noexcept
    : link_(std::move(other.link_)),
      target_(std::move(other.target_)),
      replaced_(std::move(other.replaced_)) {
    other.link_.clear();
}

PortLink::~PortLink() {
    if (!link_.empty() && link_target(link_) == target_) {
        std::error_code ec;
        fs::remove(link_, ec);
    }
}

}  // namespace tarvok::sim
