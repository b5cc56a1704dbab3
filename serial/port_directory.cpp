#include "serial/port_directory.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>
#include <set>

#include "serial/port_messages.h"
#include "serial/port_registry.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarvok::serial {

namespace {

bool is_char_device(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

// An existing folder we may not list or look into leaves every number uncertain.
bool folder_unreadable(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    DIR* dir = ::opendir(path.constData());
    if (dir == nullptr) {
        return errno != ENOENT;
    }
    ::closedir(dir);
    return ::access(path.constData(), R_OK | X_OK) != 0;
}

// Whether the simulator that made the link for `number` has exited.
bool simulator_exited(int number) {
    const auto folder = std::filesystem::path(QFile::encodeName(ports_folder()).toStdString());
    return port_use(port_link_path(folder, number)) == PortUse::stale;
}

// comN links in the ports folder.
QList<PortEntry> linked_ports() {
    QList<PortEntry> ports;
    const QDir dir(ports_folder());
    // Links are listed by what they point to; Dirs keeps a link to a folder in the
    // table, so the mistake is named rather than the number handed to another device.
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::System | QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const auto number = port_of_link_name(QFile::encodeName(info.fileName()).toStdString());
        if (!number || !info.isSymLink()) {
            continue;
        }
        ports.append({*number, info.symLinkTarget(), QString(), true});
    }
    return ports;
}

QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

}  // namespace

QString ports_folder() {
    const QByteArray home = QFile::encodeName(QDir::homePath());
    return QFile::decodeName(
        ports_directory(qgetenv("XDG_CONFIG_HOME").constData(), home.constData()).c_str());
}

QList<PortEntry> port_table() {
    QList<PortEntry> table;
    if (folder_unreadable(ports_folder())) {
        return table;
    }
    table = linked_ports();
    std::set<int> claimed;
    std::set<QString> named;
    for (const PortEntry& entry : table) {
        claimed.insert(entry.number);
        named.insert(canonical(entry.device));
    }
    auto system = QSerialPortInfo::availablePorts();
    std::sort(system.begin(), system.end(),
              [](const auto& a, const auto& b) { return a.systemLocation() < b.systemLocation(); });
    int next = 1;
    for (const QSerialPortInfo& info : system) {
        if (named.contains(canonical(info.systemLocation()))) {
            continue;
        }
        while (claimed.contains(next)) {
            ++next;
        }
        table.append({next, info.systemLocation(), info.description(), false});
        claimed.insert(next);
    }
    std::sort(table.begin(), table.end(),
              [](const PortEntry& a, const PortEntry& b) { return a.number < b.number; });
    return table;
}

Resolution resolve_port(int number) {
    if (folder_unreadable(ports_folder())) {
        return ResolveFailure{ResolveError::ports_folder_unreadable, ports_folder()};
    }
    for (const PortEntry& entry : port_table()) {
        if (entry.number != number) {
            continue;
        }
        if (entry.from_link && simulator_exited(number)) {
            return ResolveFailure{ResolveError::simulator_exited, entry.device};
        }
        if (!is_char_device(entry.device)) {
            // A link to nothing is a port that is not there; a link to a file or
            // folder is a mistake worth naming.
            if (!QFileInfo::exists(entry.device)) {
                return ResolveFailure{ResolveError::no_such_port, entry.device};
            }
            return ResolveFailure{ResolveError::not_char_device, entry.device};
        }
        return entry;
    }
    return ResolveFailure{ResolveError::no_such_port, QString()};
}

QString port_table_text() {
    if (folder_unreadable(ports_folder())) {
        return ports_folder_unreadable(ports_folder());
    }
    QStringList lines;
    for (const PortEntry& entry : port_table()) {
        QString line = QStringLiteral("%1 = %2").arg(entry.number).arg(entry.device);
        if (!entry.description.isEmpty()) {
            line += QStringLiteral(" (%1)").arg(entry.description);
        }
        lines.append(line);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace tarvok::serial
