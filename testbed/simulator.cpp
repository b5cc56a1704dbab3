#include "testbed/simulator.h"

#include <QTest>

#include <sys/types.h>

#include "testbed/child.h"

namespace tarvok::testbed {

Simulator::~Simulator() {
    // One that a failed test or measurement left running must not outlive it, nor
    // leave its port link behind when it can help it.
    if (running()) {
        stop();
    }
}

void Simulator::collect() {
    if (!log_.isOpen() && !log_.open(QIODevice::ReadOnly)) {
        return;
    }
    partial_ += log_.readAll();
    for (auto end = partial_.indexOf('\n'); end >= 0; end = partial_.indexOf('\n')) {
        lines_.append(QString::fromUtf8(partial_.left(end)));
        partial_.remove(0, end + 1);
    }
}

QString Simulator::start(const QString& program, const QStringList& args, std::optional<int> core,
                         int wait_ms) {
    log_.setFileName(dir_.filePath(QStringLiteral("log")));
    proc_.setStandardOutputFile(log_.fileName());
    proc_.setStandardErrorFile(dir_.filePath(QStringLiteral("errors")));
    prepare(proc_, core);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale_);
    environment.remove(QStringLiteral("LANGUAGE"));
    proc_.setProcessEnvironment(environment);
    proc_.start(program, args);
    const QString machine = QStringLiteral("tarvok-sim port ");
    if (!proc_.waitForStarted(wait_ms) || !take_line({}, wait_ms) ||
        !lines_.first().startsWith(machine)) {
        return {};
    }
    return lines_.first().section(QLatin1Char(' '), 3);
}

std::optional<QString> Simulator::take_line(const QString& text, int wait_ms) {
    std::optional<QString> found;
    const auto scan = [&] {
        collect();
        while (taken_ < lines_.size()) {
            const QString& line = lines_.at(taken_++);
            if (line.contains(text)) {
                found = line;
                return true;
            }
        }
        return false;
    };
    // Output written just before an exit is still read: the last scan follows it.
    if (!QTest::qWaitFor([&] { return scan() || !running(); }, wait_ms) || !found) {
        scan();
    }
    return found;
}

std::optional<int> Simulator::stop(int wait_ms, int signo) {
    if (running()) {
        ::kill(static_cast<pid_t>(proc_.processId()), signo);
        if (!proc_.waitForFinished(wait_ms)) {
            proc_.kill();
            proc_.waitForFinished(wait_ms);
            return std::nullopt;
        }
    }
    collect();
    if (proc_.exitStatus() != QProcess::NormalExit) {
        return std::nullopt;
    }
    return proc_.exitCode();
}

const QStringList& Simulator::lines() {
    collect();
    return lines_;
}

QString Simulator::error_text() const {
    QFile errors(dir_.filePath(QStringLiteral("errors")));
    return errors.open(QIODevice::ReadOnly) ? QString::fromUtf8(errors.readAll()) : QString();
}

}  // namespace tarvok::testbed
