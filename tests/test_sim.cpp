// The simulated modules: the engine's verdict on each frame (replies, log lines,
// the state of every module on the bus), the options, and then the real tarvok-sim
// process: who owns a port link, and a simulator that keeps answering whatever its
// own terminal does. Replies through the window are the end-to-end test's; any
// chunking of the byte stream is the frame_reader fuzz target's.
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <functional>
#include <memory>

#include "serial/port_directory.h"
#include "serial/port.h"
#include "sim/cli_options.h"
#include "sim/module_engine.h"
#include "tests/support/config_dir.h"
#include "tests/support/pty_pair.h"
#include "tests/support/sim_process.h"

using namespace tarvok;
using namespace tarvok::sim;
using protocol::Mode, protocol::ModeSetting, protocol::Parity;

namespace {

constexpr int kWaitMs = 5000;  // generous: only ever reached when something is wrong
const QString kSim = QStringLiteral(TARVOK_SIM_PATH);

QByteArray bytes(const protocol::Frame& f) { return {reinterpret_cast<const char*>(f.data()), 8}; }
QByteArray command(int address, const protocol::Request& request) {
    return bytes(protocol::encode(static_cast<std::uint8_t>(address), request));
}
std::span<const std::uint8_t> span(const QByteArray& b) {
    return {reinterpret_cast<const std::uint8_t*>(b.constData()), static_cast<size_t>(b.size())};
}

using Bus = std::vector<ModuleState>;
// The state text of the bus after `edit` on the module at `address` (none for -1).
QString state_after(Bus modules, int address = -1,
                    const std::function<void(ModuleState&)>& edit = {}) {
    for (auto& m : modules)
        if (m.address == address) edit(m);
    return QString::fromStdString(state_text(modules));
}
void self_lock3(ModuleState& m) { m.channels[2].mode = Mode::self_lock; }

int open_pty(const QString& device) {
    return ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY);
}
// Writes `frame` to the simulator's raw pty and reads up to eight bytes back, as hex.
QByteArray round_trip(int fd, const QByteArray& frame) {
    QByteArray got;
    char buf[8];
    if (::write(fd, frame.constData(), 8) != 8) return "write failed";
    for (pollfd p{fd, POLLIN, 0}; got.size() < 8 && ::poll(&p, 1, 2000) == 1;)
        got.append(buf, std::max<ssize_t>(0, ::read(fd, buf, size_t(8 - got.size()))));
    return got.toHex(' ');
}

// CPU time in clock ticks and resident pages of a running process.
std::pair<long, long> usage(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    stat.open(QIODevice::ReadOnly);
    const auto f = stat.readAll().split(')').last().split(' ');  // from field 3 on: see proc(5)
    return {f.value(14 - 2).toLong() + f.value(15 - 2).toLong(), f.value(24 - 2).toLong()};
}

}  // namespace

Q_DECLARE_METATYPE(Bus)

class SimTest : public QObject {
    Q_OBJECT

private slots:
    void engine_verdicts_data() {
        QTest::addColumn<Bus>("bus");
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("line_baud");
        QTest::addColumn<bool>("fail");
        QTest::addColumn<QString>("replies");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("state");
        const Bus one{{1}}, two{{1}, {2}};
        const QByteArray mode3 = command(1, ModeSetting{3, Mode::self_lock});
        const QString ok3 = "地址 1 · 第3路 关联方式 自锁 → ";
        // The new rate holds from the very next frame, still sent at the old one here.
        QTest::newRow("line, then old rate")
            << one << command(1, protocol::LineSetting{19200, Parity::even}) + mode3 << 9600
            << false << "22 01 4b 00 00 00 01 6f"
            << "地址 1 · 通讯参数 19200 偶校验 → 成功\n" + ok3 +
                   "未应答（线路 9600 波特，本模块 19200 波特）"
            << state_after(one, 1, [](auto& m) { m.baud = 19200, m.parity = Parity::even; });
        QTest::newRow("out of range")
            << one << bytes(protocol::make_frame(0x55, 1, 0x44, {0, 0, 1, 33})) << 9600 << false
            << "22 01 44 00 00 00 00 67"
            << "地址 1 · 关联方式 参数 00 00 01 21 → 失败（参数超出范围）" << state_after(one);
        QTest::newRow("--fail") << one << mode3 << 9600 << true << "22 01 44 00 00 00 00 67"
                                << ok3 + "失败（模拟失败，未执行）" << state_after(one);
        QTest::newRow("nobody's address")
            << two << command(7, ModeSetting{3, Mode::self_lock}) << 9600 << false << ""
            << "地址 7 的帧（总线上没有这个地址的模块）已忽略" << state_after(two);
        QTest::newRow("bus, module 2")
            << two << command(2, ModeSetting{3, Mode::self_lock}) << 9600 << false
            << "22 02 44 00 00 00 01 69"
            << "地址 2 · 第3路 关联方式 自锁 → 成功" << state_after(two, 2, self_lock3);
        QTest::newRow("bus, module 1 behind junk")
            << two << QByteArray("\x01\x55\x22", 3) + mode3 << 9600 << false
            << "22 01 44 00 00 00 01 68" << ok3 + "成功" << state_after(two, 1, self_lock3);
    }
    void engine_verdicts() {
        QFETCH(Bus, bus);
        QFETCH(QByteArray, stream);
        QFETCH(int, line_baud);
        QFETCH(bool, fail);
        ModuleEngine engine(bus, fail);
        QByteArray replies;
        QStringList log;
        for (const auto& event : engine.feed(span(stream), std::uint32_t(line_baud))) {
            if (event.reply) replies += bytes(*event.reply);
            log << QString::fromStdString(log_line(event));
        }
        QTEST(QString(replies.toHex(' ')), "replies");
        QTEST(log.join('\n'), "log");
        QTEST(QString::fromStdString(state_text(engine.modules())), "state");
    }

    void options_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("parsed");  // port, addresses, pace; help; version; or the
                                              // option the refusal names
        const QString rows =
            ":1 0 1|--address 1-8,12 --pace:1 1 1 2 3 4 5 6 7 8 12|--port 2 -h:help|"
            "--address=5,1-3,2 --port=auto:0 0 1 2 3 5|--address 255,0 --port 255:255 0 0 255|"
            "--version:version|--address 8-1|--address 1,,2|--address 256|--address -1|--pace=1|"
            "--port 0|--port 256|--baud 9601|--port|--bogus|3";  // refusals name the option
        for (const QString& row : rows.split('|'))
            QTest::addRow("%s", qPrintable(row))
                << row.section(':', 0, 0)
                << (row.contains(':') ? row.section(':', 1)
                                      : row.section(QRegularExpression("[ =]"), 0, 0));
    }
    void options() {
        QFETCH(QString, args);
        QFETCH(QString, parsed);
        std::vector<std::string> owned;
        for (const auto& a : args.split(' ', Qt::SkipEmptyParts)) owned.push_back(a.toStdString());
        const auto result =
            parse_options(std::vector<std::string_view>(owned.begin(), owned.end()));
        QString text = std::holds_alternative<HelpRequested>(result) ? "help" : "version";
        if (const auto* e = std::get_if<OptionError>(&result))
            text = QString::fromStdString(e->message).contains(parsed) ? parsed : "";
        if (const auto* o = std::get_if<Options>(&result)) {
            text = QStringLiteral("%1 %2").arg(o->port).arg(o->faults.pace);
            for (auto a : o->addresses) text += ' ' + QString::number(a);
        }
        QCOMPARE(text, parsed);
    }

    void ownership_data() {
        QTest::addColumn<int>("signo");
        // After SIGKILL: the next simulator, or another program taking the pty, meets
        // the stale link; "/..." is the user's own link, there before any simulator.
        QTest::addColumn<QString>("then");
        for (int signo : {SIGQUIT, SIGUSR2, SIGALRM, SIGHUP})
            QTest::addRow("signal %d", signo) << signo << "";
        QTest::newRow("KILL, next simulator") << int(SIGKILL) << "next simulator";
        QTest::newRow("KILL, pty reused") << int(SIGKILL) << "pty reused";
        QTest::newRow("user's link") << 0 << "/dev/tarvok-no-such-adapter";
    }
    void ownership() {
        QFETCH(int, signo);
        QFETCH(QString, then);
        const test::ConfigDir config;
        const QString com3 = config.ports_dir() + "/com3", owner = com3 + ".owner";
        test::SimProcess first;
        if (then.startsWith('/')) {
            QVERIFY(config.link_port(3, then));
            QVERIFY(first.start(kSim, {"--port", "3"}).isEmpty());
            QCOMPARE(first.stop(), std::optional<int>(1));
            QVERIFY2(first.error_text().contains(com3) && first.error_text().contains("--port 1"),
                     qPrintable(first.error_text()));
            QCOMPARE(QFile::symLinkTarget(com3), then);
            QVERIFY(!QFileInfo::exists(owner));
            return;
        }
        const QString device = first.start(kSim, {"--port", "3"});
        QVERIFY(!device.isEmpty() && QFileInfo::exists(owner));
        QCOMPARE(first.stop(kWaitMs, signo), signo == SIGKILL ? std::nullopt : std::optional(0));
        QCOMPARE(QFileInfo(com3).isSymLink(), signo == SIGKILL);
        QCOMPARE(QFileInfo::exists(owner), signo == SIGKILL);
        if (signo != SIGKILL) return;
        if (then == "pty reused") {
            std::vector<std::unique_ptr<test::PtyPair>> ptys;  // the lowest free number comes first
            while (ptys.size() < 32 && (ptys.empty() || ptys.back()->slave_path() != device))
                ptys.push_back(std::make_unique<test::PtyPair>());
            // Should a program running beside this test have taken that number first, the
            // stale link is pointed at our pty instead: the window sees the same thing.
            if (ptys.back()->slave_path() != device)
                QVERIFY(config.link_port(3, ptys.back()->slave_path()));
            const auto resolved = serial::resolve_port(3);
            const auto* failure = std::get_if<serial::ResolveFailure>(&resolved);
            QVERIFY(failure && failure->error == serial::ResolveError::simulator_exited);
            serial::Port line;
            QVERIFY(line.open(3, {}).has_value());
            QVERIFY(!line.write(span(command(1, ModeSetting{1, Mode::linked}))));
            QVERIFY(ptys.back()->silent());
            return;
        }
        // The next one, a bus of two, prints the state of both and answers for each alone.
        test::SimProcess next;
        const QString own = next.start(kSim, {"--port", "3", "--address", "1,5", "--pace"});
        QVERIFY(!own.isEmpty() && QFile::symLinkTarget(com3) == own);
        QVERIFY(next.lines().first().startsWith("已替换失效的端口链接 " + com3));
        const int fd = open_pty(own);
        QCOMPARE(round_trip(fd, command(5, ModeSetting{3, Mode::self_lock})),
                 "22 05 44 00 00 00 01 6c");
        ::close(fd);
        QCOMPARE(next.state(kWaitMs, 2), state_after({{1}, {5}}, 5, self_lock3));
    }

    // Endless input without a newline on stdin, and nobody reading stdout.
    void answers_whatever_its_terminal_does() {
        const test::ConfigDir config;
        int out[2];
        QVERIFY(::pipe2(out, O_CLOEXEC) == 0);
        QProcess sim;
        sim.setStandardInputFile(QStringLiteral("/dev/zero"));
        sim.setChildProcessModifier([w = out[1]] { ::dup2(w, STDOUT_FILENO); });
        sim.start(kSim, {"--port", "4"});
        const QString com4 = config.ports_dir() + "/com4";
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(com4).isSymLink(), kWaitMs);
        const auto before = usage(sim.processId());
        QTest::qWait(3000);
        const auto after = usage(sim.processId());
        QVERIFY(after.first - before.first < 3 * ::sysconf(_SC_CLK_TCK) / 20);  // 5% of 3 s
        QVERIFY(after.second - before.second < 256);                            // 1 MiB
        const int fd = open_pty(QFile::symLinkTarget(com4));
        const auto frame = command(1, ModeSetting{5, Mode::linked});
        int answered = 0;  // the pipe and the simulator hold about 2,600 log lines
        while (answered < 6000 && round_trip(fd, frame) == "22 01 44 00 00 00 01 68") ++answered;
        QCOMPARE(answered, 6000);
        ::fcntl(out[0], F_SETFL, O_NONBLOCK);
        QFile pipe;
        QByteArray log;
        QVERIFY(pipe.open(out[0], QIODevice::ReadOnly | QIODevice::Unbuffered));
        QTRY_VERIFY_WITH_TIMEOUT((log += pipe.read(1 << 16)).contains("已丢弃 "), kWaitMs);
        ::close(fd), ::close(out[0]), ::close(out[1]);
        sim.terminate();
        QVERIFY(sim.waitForFinished(kWaitMs));
        QVERIFY(!QFileInfo::exists(com4));
    }
};

QTEST_GUILESS_MAIN(SimTest)
#include "test_sim.moc"
