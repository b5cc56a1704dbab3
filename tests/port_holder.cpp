// A second program that holds a serial device the way other serial programs do, so
// the window's refusal can be tried against a real foreign process.
//
//   tarvok_port_holder <qt|exclusive|flock|posix> <device>
//
// qt: QSerialPort (a lock file plus the exclusive flag); exclusive: the tty's
// exclusive flag only; flock: an advisory lock on the device only; posix: a POSIX
// record lock on the device only. Prints "holding"
// once the device is held, then holds it until stdin closes. Exit 1 when it cannot.
#include <QCoreApplication>
#include <QSerialPort>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

int fail(const char* what) {
    std::fprintf(stderr, "port_holder: %s: %s\n", what, std::strerror(errno));
    return 1;
}

// Blocks until the test closes our stdin (or kills us).
void hold() {
    std::puts("holding");
    std::fflush(stdout);
    char byte = 0;
    while (::read(STDIN_FILENO, &byte, 1) > 0) {
    }
}

int hold_with_qt(int argc, char** argv, const char* device) {
    QCoreApplication app(argc, argv);
    QSerialPort port;
    port.setPortName(QString::fromLocal8Bit(device));
    if (!port.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "port_holder: %s\n", qPrintable(port.errorString()));
        return 1;
    }
    hold();
    return 0;
}

int hold_with_fd(std::string_view mode, const char* device) {
    const int fd = ::open(device, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return fail("open");
    }
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    const bool held = mode == "exclusive" ? ::ioctl(fd, TIOCEXCL) == 0
                      : mode == "posix"   ? ::fcntl(fd, F_SETLK, &whole) == 0
                                          : ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (!held) {
        ::close(fd);
        return fail("lock");
    }
    hold();
    // The flag outlives this descriptor while others keep the tty open; a program
    // that sets it clears it again when it lets go.
    if (mode == "exclusive") {
        ::ioctl(fd, TIOCNXCL);
    }
    ::close(fd);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: tarvok_port_holder <qt|exclusive|flock|posix> <device>\n", stderr);
        return 2;
    }
    const std::string_view mode = argv[1];
    if (mode == "qt") {
        return hold_with_qt(argc, argv, argv[2]);
    }
    if (mode == "exclusive" || mode == "flock" || mode == "posix") {
        return hold_with_fd(mode, argv[2]);
    }
    std::fprintf(stderr, "port_holder: unknown mode %s\n", argv[1]);
    return 2;
}
