#include "sim/port_link.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>

#include "sim/sim_words.h"

namespace tarvok::sim {

namespace fs = std::filesystem;

namespace {

// A window checking the lock holds it for a moment; a few tries tell that apart
// from a simulator that holds it for good.
constexpr int kLockTries = 5;
constexpr std::chrono::milliseconds kLockRetry{10};

std::string link_target(const fs::path& link) {
    std::error_code ec;
    auto target = fs::read_symlink(link, ec);
    return ec ? std::string() : target.string();
}

bool exists_at(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

std::string owner_pid(int fd) {
    std::array<char, 32> text{};
    const auto n = ::pread(fd, text.data(), text.size() - 1, 0);
    std::string pid(text.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
    return pid.substr(0, pid.find('\n'));
}

bool same_file(int fd, const fs::path& path) {
    struct stat by_fd {};
    struct stat by_path {};
    return ::fstat(fd, &by_fd) == 0 && ::lstat(path.c_str(), &by_path) == 0 &&
           by_fd.st_dev == by_path.st_dev && by_fd.st_ino == by_path.st_ino;
}

std::string try_instead(const fs::path& dir) {
    const int free = first_free_port(dir);
    return free == 0 ? std::string(word(SimWord::try_stop))
                     : say(SimWord::try_port, {std::to_string(free)});
}

// The owner file, created if need be and locked for good; or why not.
std::variant<UniqueFd, std::string> lock_owner(const fs::path& owner, const fs::path& link) {
    for (int attempt = 0; attempt < kLockTries; ++attempt) {
        UniqueFd fd(::open(owner.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644));
        if (fd.get() < 0) {
            return say(SimWord::cannot_create, {owner.string(), std::strerror(errno)});
        }
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            if (attempt + 1 == kLockTries) {
                return say(SimWord::link_in_use,
                           {link.string(), owner_pid(fd.get()), try_instead(link.parent_path())});
            }
            std::this_thread::sleep_for(kLockRetry);
            continue;
        }
        // The previous owner removes the file before letting go of its lock; a lock on
        // a file no longer there proves nothing.
        if (same_file(fd.get(), owner)) {
            const std::string pid = std::to_string(::getpid()) + "\n";
            if (::ftruncate(fd.get(), 0) != 0 ||
                ::pwrite(fd.get(), pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
                return say(SimWord::cannot_write, {owner.string(), std::strerror(errno)});
            }
            return fd;
        }
    }
    return say(SimWord::cannot_lock, {owner.string()});
}

std::optional<std::string> refusal(const fs::path& link) {
    std::error_code ec;
    const auto existing = fs::symlink_status(link, ec);
    if (!fs::exists(existing)) {
        return std::nullopt;
    }
    if (!fs::is_symlink(existing)) {
        return say(SimWord::not_symlink, {link.string(), try_instead(link.parent_path())});
    }
    if (!exists_at(owner_path(link))) {
        return say(SimWord::manual_link,
                   {link.string(), link_target(link), try_instead(link.parent_path())});
    }
    return std::nullopt;
}

}  // namespace

std::variant<PortLink, std::string> PortLink::claim(const fs::path& dir, int port,
                                                    const std::string& target) {
    const fs::path link = port_link_path(dir, port);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        return say(SimWord::cannot_mkdir, {dir.string(), ec.message()});
    }
    if (auto why = refusal(link)) {
        return *why;
    }
    auto locked = lock_owner(owner_path(link), link);
    if (auto* why = std::get_if<std::string>(&locked)) {
        return *why;
    }
    auto owner = std::move(std::get<UniqueFd>(locked));
    std::string replaced;
    if (exists_at(link)) {
        replaced = link_target(link);
        fs::remove(link, ec);
    }
    fs::create_symlink(target, link, ec);
    if (ec) {
        fs::remove(owner_path(link), ec);
        return say(SimWord::cannot_link, {link.string(), target, ec.message()});
    }
    return PortLink(port, link, target, replaced, std::move(owner));
}

std::variant<PortLink, std::string> PortLink::claim_first_free(const fs::path& dir,
                                                               const std::string& target) {
    std::string why = say(SimWord::all_taken, {dir.string(), std::to_string(serial::kFirstPort),
                                               std::to_string(serial::kLastPort)});
    for (int port = serial::kFirstPort; port <= serial::kLastPort; ++port) {
        const PortUse use = port_use(port_link_path(dir, port));
        if (use != PortUse::free && use != PortUse::stale) {
            continue;
        }
        auto claimed = claim(dir, port, target);
        if (std::holds_alternative<PortLink>(claimed)) {
            return claimed;
        }
        why = std::get<std::string>(claimed);  // taken meanwhile: on to the next
    }
    return why;
}

PortLink::PortLink(int port, fs::path link, std::string target, std::string replaced,
                   UniqueFd owner)
    : port_(port),
      link_(std::move(link)),
      target_(std::move(target)),
      replaced_(std::move(replaced)),
      owner_(std::move(owner)) {}

PortLink::PortLink(PortLink&& other) noexcept
    : port_(other.port_),
      link_(std::move(other.link_)),
      target_(std::move(other.target_)),
      replaced_(std::move(other.replaced_)),
      owner_(std::move(other.owner_)) {
    other.link_.clear();
}

PortLink::~PortLink() {
    if (link_.empty()) {
        return;
    }
    std::error_code ec;
    if (link_target(link_) == target_) {
        fs::remove(link_, ec);
    }
    fs::remove(owner_path(link_), ec);
}

}  // namespace tarvok::sim
