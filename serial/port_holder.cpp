#include "serial/port_holder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <csignal>

namespace tarvok::serial {

std::optional<qint64> lock_file_pid(const QString& lock);

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

std::optional<PortHolder> named(HoldKind kind, std::optional<qint64> pid) {
    const QString program = pid ? program_of(*pid) : QString();
    return program.isEmpty() ? std::nullopt
                             : std::optional(PortHolder{kind, program.toStdString(), *pid});
}

std::optional<qint64> pid_of(const fs::path& folder) {
    bool number = false;
    const qint64 pid = QString::fromStdString(folder.filename().string()).toLongLong(&number);
    return number && pid > 0 ? std::optional(pid) : std::nullopt;
}

// Nothing when the process's descriptors are hidden from us (another user's).
std::optional<bool> has_open(const fs::path& process, const fs::path& device) {
    std::error_code error;
    fs::directory_iterator fd(process / "fd", error);
    if (error) {
        return std::nullopt;
    }
    for (const fs::directory_iterator end; !error && fd != end; fd.increment(error)) {
        std::error_code gone;  // a descriptor closed meanwhile
        if (fs::read_symlink(fd->path(), gone) == device) {
            return true;
        }
    }
    return false;
}

fs::path proc_of(qint64 pid) { return fs::path("/proc") / std::to_string(pid); }

// Another process than this one, still there (perhaps another user's).
bool running(qint64 pid) {
    return pid > 0 && pid != QCoreApplication::applicationPid() &&
           (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// Our own descriptors do not count: tests and a second line of ours may hold it.
std::optional<qint64> pid_with_open(const fs::path& device) {
    std::error_code error;
    for (fs::directory_iterator process("/proc", error), end; !error && process != end;
         process.increment(error)) {
        const auto pid = pid_of(process->path());
        if (pid && running(*pid) && has_open(process->path(), device).value_or(false)) {
            return pid;
        }
    }
    return std::nullopt;
}

// A line of /proc/locks reads "12: FLOCK  ADVISORY  WRITE 4711 00:19:5 0 EOF": the
// lock's type, its kind and access, the process, then the file as its file system's
// major:minor (hex) and its inode; a lock still waited for has "->" before its type.
// OFD locks name no process and are passed over.
std::optional<qint64> pid_locking(const fs::path& device) {
    struct stat node {};
    if (::stat(device.c_str(), &node) != 0) {
        return std::nullopt;
    }
    const QByteArray file = QStringLiteral("%1:%2:%3")
                                .arg(major(node.st_dev), 2, 16, QLatin1Char('0'))
                                .arg(minor(node.st_dev), 2, 16, QLatin1Char('0'))
                                .arg(node.st_ino)
                                .toLatin1();
    constexpr qsizetype kType = 1;
    constexpr qsizetype kPid = 4;
    constexpr qsizetype kFile = 5;
    for (const QByteArray& line : read_all(QStringLiteral("/proc/locks")).split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() <= kFile || fields.at(kFile) != file ||
            (fields.at(kType) != "FLOCK" && fields.at(kType) != "POSIX")) {
            continue;
        }
        bool number = false;
        const qint64 pid = fields.at(kPid).toLongLong(&number);
        if (number && running(pid)) {
            return pid;
        }
    }
    return std::nullopt;
}

// The live process the lock file names, unless we can see that it does not have the
// device open (its number taken by another program since).
std::optional<qint64> pid_in_lock_file(const QString& device, const fs::path& node) {
    const QString lock = existing_lock_file(device);
    const auto pid = lock.isEmpty() ? std::nullopt : lock_file_pid(lock);
    return pid && running(*pid) && has_open(proc_of(*pid), node).value_or(true) ? pid
                                                                                : std::nullopt;
}

}  // namespace

std::optional<qint64> lock_file_pid(const QString& lock) {
    bool number = false;
    const qint64 pid = read_all(lock).split('\n').constFirst().trimmed().toLongLong(&number);
    return number && pid > 0 ? std::optional(pid) : std::nullopt;
}


std::optional<PortHolder> port_holder(const QString& device) {
    std::error_code error;
    const fs::path node = fs::canonical(QFile::encodeName(device).toStdString(), error);
    if (error) {
        return std::nullopt;
    }
    if (auto holder = named(HoldKind::lock, pid_locking(node))) {
        return holder;
    }
    if (auto holder = named(HoldKind::lock_file, pid_in_lock_file(device, node))) {
        return holder;
    }
    return named(HoldKind::open_only, pid_with_open(node));
}

bool lock_left_behind(const QString& lock, const QString& device) {
    const auto pid = lock_file_pid(lock);
    if (!pid) {
        return false;
    }
    if (::kill(static_cast<pid_t>(*pid), 0) != 0 && errno == ESRCH) {
        return true;
    }
    std::error_code error;
    const fs::path node = fs::canonical(QFile::encodeName(device).toStdString(), error);
    const auto open = error ? std::nullopt : has_open(proc_of(*pid), node);
    return open && !*open;
}

QString lock_file_path(const QString& device) {
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
    // Qt takes the first folder it may read that has the file or that it may write to.
    for (const QString& folder : folders) {
        const QFileInfo info(folder);
        QString path = folder + QStringLiteral("/LCK..") + name;
        if (info.isReadable() && (QFileInfo::exists(path) || info.isWritable())) {
            return path;
        }
    }
    return {};
}

QString existing_lock_file(const QString& device) {
    QString path = lock_file_path(device);
    return !path.isEmpty() && QFileInfo::exists(path) ? path : QString();
}

QString file_owner(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.owner();
    return name.isEmpty() ? QString::number(info.ownerId()) : name;
}

}  // namespace tarvok::serial
