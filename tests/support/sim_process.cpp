#include "tests/support/sim_process.h"

#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>

namespace tarvok::test {

namespace {

constexpr int kChannels = 32;

// "key=value" fields of one state line, after its leading word.
std::optional<QStringList> values(const QString& line, const QString& head,
                                  const QStringList& keys) {
    const QStringList parts = line.split(QLatin1Char(' '));
    if (parts.size() != keys.size() + 1 || parts.front() != head) {
        return std::nullopt;
    }
    QStringList out;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString prefix = keys.at(i) + QLatin1Char('=');
        if (!parts.at(i + 1).startsWith(prefix)) {
            return std::nullopt;
        }
        out.append(parts.at(i + 1).mid(prefix.size()));
    }
    return out;
}

}  // namespace

std::optional<SimState> parse_sim_state(const QStringList& lines) {
    if (lines.size() != kChannels + 1) {
        return std::nullopt;
    }
    const auto head =
        values(lines.front(), QStringLiteral("状态"),
               {QStringLiteral("地址"), QStringLiteral("波特率"), QStringLiteral("校验")});
    if (!head) {
        return std::nullopt;
    }
    SimState state;
    bool address_ok = false;
    bool baud_ok = false;
    state.address = head->at(0).toInt(&address_ok);
    state.baud = head->at(1).toInt(&baud_ok);
    state.parity = head->at(2);
    if (!address_ok || !baud_ok) {
        return std::nullopt;
    }
    for (int channel = 1; channel <= kChannels; ++channel) {
        const auto fields = values(lines.at(channel), QStringLiteral("第%1路").arg(channel),
                                   {QStringLiteral("关联方式"), QStringLiteral("上电状态")});
        if (!fields) {
            return std::nullopt;
        }
        state.channels.append({fields->at(0), fields->at(1)});
    }
    return state;
}

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
    const auto ready = take_line(QStringLiteral("模拟模块已就绪"), wait_ms);
    if (!ready) {
        return {};
    }
    static const QRegularExpression device(QStringLiteral("→ (/\\S+)（"));
    return device.match(*ready).captured(1);
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

std::optional<SimState> SimProcess::state(int wait_ms) {
    if (!running()) {
        return std::nullopt;
    }
    proc_.write("s\n");
    if (!take_line(QStringLiteral("状态 地址="), wait_ms)) {
        return std::nullopt;
    }
    const qsizetype first = taken_ - 1;
    const bool complete = QTest::qWaitFor(
        [&] {
            collect();
            return lines_.size() >= first + kChannels + 1;
        },
        wait_ms);
    if (!complete) {
        return std::nullopt;
    }
    taken_ = first + kChannels + 1;
    return parse_sim_state(lines_.mid(first, kChannels + 1));
}

std::optional<int> SimProcess::stop(int wait_ms) {
    if (running()) {
        proc_.terminate();
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
