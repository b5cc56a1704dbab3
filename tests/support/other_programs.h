// Other programs a port test meets on the machine: one that holds the device, and
// a lock file that an exited one left behind.
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <pwd.h>
#include <unistd.h>

#include "serial/port_holder.h"

namespace tarvok::test {

// A program a test starts: taken from beside the test when there (as_user.sh
// copies them where its user can reach them), else from the build.
inline QString helper(const QString& name, const QString& built) {
    const QString beside = QCoreApplication::applicationDirPath() + "/" + name;
    return QFile::exists(beside) ? beside : built;
}

// Another program on this machine holding the device: `holder` (tests/port_holder.cpp)
// run under `program`'s name.
class Holder {
public:
    Holder(const QString& holder, const QString& mode, const QString& device,
           const QString& program) {
        const QString path = program_.filePath(program);
        QFile::copy(holder, path);
        process_.start(path, {mode, device});
        holding_ = process_.waitForReadyRead(5000) &&
                   process_.readAllStandardOutput().startsWith("holding");
    }
    ~Holder() { end(false); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    bool holding() const { return holding_; }
    qint64 pid() const { return process_.processId(); }
    // Lets go politely (stdin closed) or by SIGKILL, which leaves a lock file behind.
    void end(bool kill) {
        if (process_.state() != QProcess::NotRunning) {
            kill ? process_.kill() : process_.closeWriteChannel();
            process_.waitForFinished(5000);
        }
    }

private:
    QTemporaryDir program_;
    QProcess process_;
    bool holding_ = false;
};

inline qint64 exited_pid() {
    QProcess gone;
    gone.start("true");
    const qint64 pid = gone.waitForStarted() ? gone.processId() : 0;
    gone.waitForFinished();
    return pid;
}

// A lock file for `device` that names an exited program of another host, so that Qt
// will not take it over; another user's (nobody's) when root can make it so, else
// ours; never one that is there already. Removed when the test ends.
class LeftLock {
public:
    explicit LeftLock(const QString& device) : path_(tarvok::serial::lock_file_path(device)) {
        QFile file(path_);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            return;
        }
        made_ = true;
        file.write(QByteArray::number(exited_pid()) + "\nother\nanother-host\n");
        file.close();
        const passwd* nobody = ::getpwnam("nobody");
        left_ = ::geteuid() != 0 ||
                (nobody && ::chown(QFile::encodeName(path_).constData(), nobody->pw_uid, -1) == 0);
    }
    ~LeftLock() {
        if (made_) {
            QFile::remove(path_);
        }
    }
    LeftLock(const LeftLock&) = delete;
    LeftLock& operator=(const LeftLock&) = delete;

    bool left() const { return left_; }
    QString path() const { return path_; }

private:
    QString path_;
    bool made_ = false;
    bool left_ = false;
};

}  // namespace tarvok::test
