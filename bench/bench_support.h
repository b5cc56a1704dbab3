// Shared pieces of the measurement programs: a private config folder, a raw pty,
// quiet offscreen windows, percentiles and the one-line result format that
// scripts/bench.sh turns into a table.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace tarvok::bench {

using Clock = std::chrono::steady_clock;

inline double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// The offscreen platform warns each time a window is raised; a desktop would not,
// and the warnings would be timed along with the window.
inline void quiet_offscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg &&
            text.startsWith(QLatin1String("This plugin does not support"))) {
            return;
        }
        std::fprintf(stderr, "%s\n", qPrintable(text));
    });
}

// XDG_CONFIG_HOME pointed at a throw-away folder for the life of the object.
class ConfigFolder {
public:
    ConfigFolder() {
        qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
        QFile::remove(ports() + "/com1");
    }
    QString root() const { return dir_.path(); }
    QString ports() const { return dir_.path() + QStringLiteral("/tarvok/ports"); }
    bool link_port1(const QString& target) const {
        return QDir().mkpath(ports()) && QFile::link(target, ports() + QStringLiteral("/com1"));
    }

private:
    QTemporaryDir dir_;
};

// A raw pty; the slave end stays open so the pair survives the window's opens.
class Pty {
public:
    Pty() {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            termios raw{};
            ::tcgetattr(slave_, &raw);
            ::cfmakeraw(&raw);
            ::tcsetattr(slave_, TCSANOW, &raw);
            slave_path_ = QString::fromLocal8Bit(name);
        }
    }
    ~Pty() {
        ::close(master_);
        ::close(slave_);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    int master() const { return master_; }
    QString slave_path() const { return slave_path_; }

private:
    int master_ = -1;
    int slave_ = -1;
    QString slave_path_;
};

struct Spread {
    double median;
    double p99;
};

inline Spread spread(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto n = samples.size();
    const auto p99 = std::min(n - 1, (n * 99 + 99) / 100 - 1);
    return {samples[n / 2], samples[p99]};
}

inline double median(std::vector<double> samples) { return spread(std::move(samples)).median; }

// "<measure>\t<subject>\t<value>\t<unit>", one line per number, on stdout.
inline void emit_result(const char* measure, const char* subject, double value, const char* unit) {
    std::printf("%s\t%s\t%.6g\t%s\n", measure, subject, value, unit);
    std::fflush(stdout);
}

}  // namespace tarvok::bench
