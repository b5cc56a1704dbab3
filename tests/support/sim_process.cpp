#include "tests/support/sim_process.h"

#include <QProcessEnvironment>
#include <QTest>

#include <sys/types.h>

namespace tarvok::test {

namespace {

constexpr int kLinesPerModule = 33;

}  // namespace

SimProcess::SimProcess() {
    QObject::connect(&proc_, &QProcess::readyReadStandardOutput, [this] { collect(); });
    QObject::connect(&proc_, &QProcess::readyReadStandardError, [this] { collect(); });
}

SimProcess::~SimProcess() {
    // A test that failed half-way must not leave a simulator behind.
    if (running()) {
        proc_.kill();
        proc_.waitForFinished(5000);
    }
}

void SimProcess::collect() {
    partial_ += proc_.readAllStandardOutput();
    errors_ += QString::fromUtf8(proc_.readAllStandardError());
    for (auto end = partial_.indexOf('\n'); end >= 0; end = partial_.indexOf('\n')) {
        lines_.append(QString::fromUtf8(partial_.left(end)));
        partial_.remove(0, end + 1);
    }
}

QString SimProcess::start(const QString& program, const QStringList& args, int wait_ms) {
    // Taken now rather than at construction: the caller's config folder may have
    // been set up in between.
    proc_.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    proc_.start(program, args);
    if (!proc_.waitForStarted(wait_ms)) {
        return {};
    }
    // "tarvok-sim port N DEVICE", the line made for programs.
    const auto ready = take_line(QStringLiteral("tarvok-sim port "), wait_ms);
    return ready ? ready->section(QLatin1Char(' '), 3) : QString();
}

std::optional<QString> SimProcess::take_line(const QString& text, int wait_ms) {
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

std::optional<QString> SimProcess::state(int wait_ms, int modules) {
    if (!running()) {
        return std::nullopt;
    }
    proc_.write("s\n");
    if (!take_line(QStringLiteral("状态 地址="), wait_ms)) {
        return std::nullopt;
    }
    const qsizetype first = taken_ - 1;
    const qsizetype count = qsizetype{modules} * kLinesPerModule;
    const bool complete = QTest::qWaitFor(
        [&] {
            collect();
            return lines_.size() >= first + count;
        },
        wait_ms);
    if (!complete) {
        return std::nullopt;
    }
    taken_ = first + count;
    return lines_.mid(first, count).join(QLatin1Char('\n')) + QLatin1Char('\n');
}

std::optional<int> SimProcess::stop(int wait_ms, int signo) {
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

}  // namespace tarvok::test
