// The receive path of the real window over a real pty: bytes arrive in pieces the
// input chooses, sometimes with the window running in between. Results must be
// exactly one per consecutive eight-byte group that passes the check (start 0x22,
// last byte the sum of the other seven), in order and with its bit-0 status; at no
// moment more than the groups received so far allow.
#include <fuzzer/FuzzedDataProvider.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "serial/serial_line.h"
#include "ui/main_form.h"

namespace {

using tarvok::serial::CommEvent;
using tarvok::serial::SerialLine;
using tarvok::ui::main_form;

constexpr qint64 kSettleMs = 5000;

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

void require(bool holds, const char* what) {
    if (!holds) {
        broken(what);
    }
}

// The offscreen platform says so each time a result window is raised; a desktop
// would not, and thousands of lines per second would only slow the fuzzer.
void quiet_platform(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

// The model: one status per passing group, in order, from the stream's first byte.
std::vector<bool> expected_results(const std::vector<std::uint8_t>& bytes) {
    std::vector<bool> results;
    for (std::size_t group = 0; group + 8 <= bytes.size(); group += 8) {
        unsigned sum = 0;
        for (std::size_t i = group; i < group + 7; ++i) {
            sum += bytes[i];
        }
        if (bytes[group] == 0x22 && bytes[group + 7] == (sum & 0xFFU)) {
            results.push_back((bytes[group + 6] & 1U) != 0);
        }
    }
    return results;
}

class Fd {
public:
    Fd() = default;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    int fd = -1;
};

// A pty registered as port 1 in a private config folder, made once per process.
struct Wire {
    Fd master;
    Fd slave;  // held, so the pty stays whole between opens of the window
    std::string config = "/tmp/tarvok-fuzz-XXXXXX";

    Wire() {
        require(::mkdtemp(config.data()) != nullptr, "no temporary folder");
        std::array<char, 256> name{};
        require(::openpty(&master.fd, &slave.fd, name.data(), nullptr, nullptr) == 0, "no pty");
        termios raw{};
        ::tcgetattr(slave.fd, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave.fd, TCSANOW, &raw);
        ::fcntl(master.fd, F_SETFL, ::fcntl(master.fd, F_GETFL) | O_NONBLOCK);
        const std::filesystem::path ports = std::filesystem::path(config) / "tarvok" / "ports";
        std::filesystem::create_directories(ports);
        std::filesystem::create_symlink(name.data(), ports / "com1");
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    }
    Wire(const Wire&) = delete;
    Wire& operator=(const Wire&) = delete;

    // Writes all of `bytes`, letting the window read whenever the line is full.
    void write(const std::vector<std::uint8_t>& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const auto n = ::write(master.fd, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += std::size_t(n);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                broken("writing the pty failed");
            } else {
                QCoreApplication::processEvents();
            }
        }
    }
};

// No display here; set before the application object exists.
struct Offscreen {
    Offscreen() { qputenv("QT_QPA_PLATFORM", "offscreen"); }
};

struct Rig {
    int argc = 1;
    std::array<char*, 2> argv{const_cast<char*>("reply_path"), nullptr};
    Offscreen offscreen;
    Wire wire;
    QApplication app{argc, argv.data()};
    main_form form;
    std::int64_t events = 0;
    std::vector<bool> results;

    Rig() {
        qInstallMessageHandler(quiet_platform);
        form.open_comm->click();
        require(form.MSComm1->port_open(), "the window could not open the pty");
        // The port stays open for the whole run, so the link has done its job; the
        // rig is never destroyed, so this is the moment to tidy up.
        std::filesystem::remove_all(wire.config);
        // Connected after the window's own handler: counted once it took its eight.
        QObject::connect(form.MSComm1, &SerialLine::on_comm, [this] {
            events += form.MSComm1->comm_event() == CommEvent::receive ? 1 : 0;
        });
        QObject::connect(&form, &main_form::result_shown,
                         [this](bool success) { results.push_back(success); });
    }

    std::int64_t taken() const { return events * 8 + form.MSComm1->in_buffer_count(); }

    // Runs the window until it has taken `total` bytes off the line.
    void settle(std::int64_t total) {
        QElapsedTimer timer;
        timer.start();
        while (taken() < total) {
            require(timer.elapsed() < kSettleMs, "bytes written never reached the window");
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        require(taken() == total, "the window took more bytes than were sent");
    }
};

// Holds its value for the life of the process and never destroys it: at exit Qt
// tears down globals of its own that an application object still uses.
template <typename T>
class Immortal {
public:
    Immortal() : value_() {}
    // Not "= default": that would be deleted, the union member having a destructor.
    ~Immortal() {}  // NOLINT(modernize-use-equals-default)
    Immortal(const Immortal&) = delete;
    Immortal& operator=(const Immortal&) = delete;
    T& get() { return value_; }

private:
    union {
        T value_;
    };
};

Rig& rig() {
    static Immortal<Rig> instance;
    return instance.get();
}

// Closing the port removes Qt's lock file for it, which a later user who is not
// root could not remove (the lock folder is sticky).
void close_port_at_exit() { rig().form.MSComm1->set_port_open(false); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    rig();
    std::atexit(close_port_at_exit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Rig& r = rig();
    r.events = 0;
    r.results.clear();
    FuzzedDataProvider input(data, size);
    std::vector<std::uint8_t> sent;
    while (input.remaining_bytes() > 0) {
        const bool let_window_run = input.ConsumeBool();
        const auto length = input.ConsumeIntegralInRange<std::size_t>(1, 300);
        const auto piece = input.ConsumeBytes<std::uint8_t>(length);
        r.wire.write(piece);
        sent.insert(sent.end(), piece.begin(), piece.end());
        if (let_window_run) {
            r.settle(std::int64_t(sent.size()));
            const auto so_far = expected_results(sent);
            require(r.results == so_far, "results so far differ from the groups so far");
        }
    }
    r.settle(std::int64_t(sent.size()));
    require(r.results == expected_results(sent), "results differ from the passing groups");
    // Whatever is left is less than a group; the next input starts on a boundary.
    require(r.form.MSComm1->in_buffer_count() == std::int64_t(sent.size() % 8), "leftover count");
    r.form.MSComm1->discard_input();
    return 0;
}
