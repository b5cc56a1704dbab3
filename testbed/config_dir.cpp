#include "testbed/config_dir.h"

#include <QDir>
#include <QFile>

namespace tarvok::testbed {

ConfigDir::ConfigDir()
    : previous_(qgetenv("XDG_CONFIG_HOME")),
      had_previous_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
    QDir().mkpath(ports_dir());
}

ConfigDir::~ConfigDir() {
    if (had_previous_) {
        qputenv("XDG_CONFIG_HOME", previous_);
    } else {
        qunsetenv("XDG_CONFIG_HOME");
    }
}

QString ConfigDir::ports_dir() const { return dir_.path() + QStringLiteral("/tarvok/ports"); }

bool ConfigDir::link_port(int number, const QString& target) const {
    const QString link = ports_dir() + QStringLiteral("/com%1").arg(number);
    QFile::remove(link);
    return QFile::link(target, link);
}

}  // namespace tarvok::testbed
