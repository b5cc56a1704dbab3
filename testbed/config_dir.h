// A throw-away XDG_CONFIG_HOME for one test or measurement, where port numbers can be
// pointed at devices the way a technician would with `ln -s`.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace tarvok::testbed {

class ConfigDir {
public:
    ConfigDir();
    ~ConfigDir();
    ConfigDir(const ConfigDir&) = delete;
    ConfigDir& operator=(const ConfigDir&) = delete;

    QString root() const { return dir_.path(); }
    QString ports_dir() const;
    // Makes port `number` name `target` (the target need not exist).
    bool link_port(int number, const QString& target) const;

private:
    QTemporaryDir dir_;
    QByteArray previous_;
    bool had_previous_ = false;
};

}  // namespace tarvok::testbed
