#include "serial/port_holder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <filesystem>
#include <system_error>

#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#endif

namespace tarvok::serial {

namespace {

namespace fs = std::filesystem;

QByteArray read_all(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The kernel keeps only the first 15 bytes of a program's name; the command line
// has it whole unless the program rewrote it.
QString program_of(qint64 pid) {
    const QString proc = QStringLiteral("/proc/%1/").arg(pid);
    const QString short_name = QString::fromLocal8Bit(read_all(proc + "comm").trimmed());
    const QByteArray first_argument = read_all(proc + "cmdline").split('\0').constFirst();
    const QString whole = QFileInfo(QString::fromLocal8Bit(first_argument)).fileName();
    return !short_name.isEmpty() && whole.startsWith(short_name) ? whole : short_name;
}

std::optional<qint64> pid_of(const fs::path& folder) {
    bool number = false;
    const qint64 pid = QString::fromStdString(folder.filename().string()).toLongLong(&number);
    return number && pid > 0 ? std::optional(pid) : std::nullopt;
}

bool has_open(const fs::path& process, const fs::path& device) {
    std::error_code error;
    for (fs::directory_iterator fd(process / "fd", error), end; !error && fd != end;
         fd.increment(error)) {
        if (fs::read_symlink(fd->path(), error) == device) {
            return true;
        }
    }
    return false;
}

// Our own descriptors do not count: tests and a second line of ours may hold it.
std::optional<qint64> pid_with_open(const fs::path& device) {
    const qint64 self = QCoreApplication::applicationPid();
    std::error_code error;
    for (fs::directory_iterator process("/proc", error), end; !error && process != end;
         process.increment(error)) {
        const auto pid = pid_of(process->path());
        if (pid && *pid != self && has_open(process->path(), device)) {
            return pid;
        }
    }
    return std::nullopt;
}

bool running(qint64 pid) {
#ifdef Q_OS_WIN
    Q_UNUSED(pid);
    return false;
#else
    return pid > 0 && pid != QCoreApplication::applicationPid() &&
           (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
#endif
}

// The first line of a lock file is its owner's process number.
std::optional<qint64> pid_in_lock_file(const QString& device) {
    const QString lock = existing_lock_file(device);
    const auto pid = lock.isEmpty() ? std::nullopt : lock_file_pid(lock);
    return pid && running(*pid) ? pid : std::nullopt;
}

}  // namespace

std::optional<PortHolder> port_holder(const QString& device) {
    std::error_code error;
    const fs::path path = fs::canonical(QFile::encodeName(device).toStdString(), error);
    if (error) {
        return std::nullopt;
    }
    auto pid = pid_with_open(path);
    if (!pid) {
        pid = pid_in_lock_file(device);
    }
    if (!pid) {
        return std::nullopt;
    }
    const QString program = program_of(*pid);
    return program.isEmpty() ? std::nullopt
                             : std::optional(PortHolder{program.toStdString(), *pid});
}

std::optional<qint64> lock_file_pid(const QString& lock) {
    bool number = false;
    const qint64 pid = read_all(lock).split('\n').constFirst().trimmed().toLongLong(&number);
    return number && pid > 0 ? std::optional(pid) : std::nullopt;
}

QString existing_lock_file(const QString& device) {
    static constexpr std::array kFolders = {"/var/lock",         "/etc/locks", "/var/spool/locks",
                                            "/var/spool/uucp",   "/tmp",       "/var/tmp",
                                            "/var/lock/lockdev", "/run/lock"};
    QString name = device;
    if (name.startsWith(QStringLiteral("/dev/"))) {
        name.remove(0, 5);
    }
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    QStringList folders(kFolders.begin(), kFolders.end());
    folders.append(QDir::tempPath());
    for (const QString& folder : folders) {
        QString path = folder + QStringLiteral("/LCK..") + name;
        if (QFileInfo::exists(path)) {
            return path;
        }
    }
    return {};
}

}  // namespace tarvok::serial
