#include "testbed/child.h"

#include <QFile>
#include <QTest>

#include <sched.h>
#include <sys/prctl.h>
#include <sys/types.h>

#include <csignal>

namespace tarvok::testbed {

namespace {

using Clock = std::chrono::steady_clock;

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void end_now(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
}

}  // namespace

void pin_to(int core) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(core, &set);
    ::sched_setaffinity(0, sizeof(set), &set);
}

void prepare(QProcess& process, std::optional<int> core) {
    process.setChildProcessModifier([core] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (core) {
            pin_to(*core);
        }
    });
}

QList<QByteArray> Ended::out_lines() const {
    QList<QByteArray> lines = out.split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

Child::Child(const QString& program, const QStringList& args, const Launch& launch) {
    prepare(process_, launch.core);
    process_.setStandardOutputFile(launch.output_to.isEmpty() ? dir_.filePath(QStringLiteral("out"))
                                                              : launch.output_to);
    process_.setStandardErrorFile(dir_.filePath(QStringLiteral("errors")));
    if (!launch.input_from.isEmpty()) {
        prepare(feeder_, launch.core);
        feeder_.setStandardOutputProcess(&process_);
        feeder_.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), launch.input_from});
    } else if (launch.input.isEmpty()) {
        process_.setStandardInputFile(QProcess::nullDevice());
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), launch.locale);
    environment.remove(QStringLiteral("LANGUAGE"));
    process_.setProcessEnvironment(environment);
    started_ = Clock::now();
    process_.start(program, args);
    if (!launch.input.isEmpty()) {
        process_.write(launch.input);
        process_.closeWriteChannel();
    }
}

Child::~Child() {
    end_now(process_);
    end_now(feeder_);
}

bool Child::wait_for_line(int wait_ms) {
    const QString out = dir_.filePath(QStringLiteral("out"));
    return QTest::qWaitFor([&] { return contents(out).contains('\n'); }, wait_ms);
}

void Child::signal(int signo) const { ::kill(static_cast<pid_t>(process_.processId()), signo); }

QString Child::errors_so_far() const {
    return QString::fromUtf8(contents(dir_.filePath(QStringLiteral("errors"))));
}

Ended Child::finish(int wait_ms, Waiting waiting) {
    const bool ended =
        waiting == Waiting::blocked
            ? process_.waitForFinished(wait_ms)
            : QTest::qWaitFor([this] { return process_.state() == QProcess::NotRunning; }, wait_ms);
    const auto end = Clock::now();
    end_now(process_);
    end_now(feeder_);
    const bool clean = ended && process_.exitStatus() == QProcess::NormalExit;
    return {clean ? process_.exitCode() : -1, contents(dir_.filePath(QStringLiteral("out"))),
            QString::fromUtf8(contents(dir_.filePath(QStringLiteral("errors")))), started_,
            std::chrono::duration<double, std::micro>(end - started_).count()};
}

Ended run(const QString& program, const QStringList& args, const Launch& launch, int wait_ms) {
    Child child(program, args, launch);
    return child.finish(wait_ms);
}

}  // namespace tarvok::testbed
