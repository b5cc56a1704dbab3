// The real tarvok-sim process: what the host's end of its pty receives, who owns a
// port link, and a simulator that keeps answering whatever its own terminal does (its
// engine's verdicts and its options are test_sim_rules'). Replies through the
// window are the end-to-end test's; any chunking of the byte stream is the
// frame_reader fuzz target's.
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <memory>

#include "serial/port.h"
#include "serial/port_directory.h"
#include "sim/module_engine.h"
#include "sim/reply_faults.h"
#include "testbed/config_dir.h"
#include "testbed/simulator.h"
#include "tests/support/sim_frames.h"
#include "tests/support/sim_state.h"
#include "tests/support/watched_pty.h"
#include "words/language.h"

using namespace tarvok;
using namespace tarvok::sim;
using namespace tarvok::test;
using protocol::Mode, protocol::ModeSetting, protocol::Parity;

namespace {

constexpr int kWaitMs = 5000;  // generous: only ever reached when something is wrong
const QString kSim = QStringLiteral(TARVOK_SIM_PATH);

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

// The host's port at `line`, as a host that uses parity sets it (see sim/pty_line.h).
void set_line(int fd, const LineSetting& line) {
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, line.baud);
    t.c_cflag &= ~tcflag_t(PARENB | PARODD), t.c_iflag &= ~tcflag_t(INPCK);
    t.c_cflag |= line.parity == Parity::none ? 0 : PARENB;
    t.c_cflag |= line.parity == Parity::odd ? PARODD : 0;
    t.c_iflag |= line.parity == Parity::none ? 0 : INPCK;
    ::tcsetattr(fd, TCSANOW, &t);
}
// Reads until `expected` bytes came and 200 ms passed without more; with each byte,
// its arrival in ms on `clock`.
QByteArray listen(int fd, qsizetype expected, const QElapsedTimer& clock, QList<qint64>& at) {
    QByteArray got;
    char buf[64];
    for (pollfd p{fd, POLLIN, 0}; ::poll(&p, 1, got.size() < expected ? kWaitMs : 200) == 1;) {
        const auto n = ::read(fd, buf, sizeof buf);
        if (n <= 0) break;
        got.append(buf, n);
        at.insert(at.end(), n, clock.elapsed());
    }
    return got;
}

// CPU time in clock ticks and resident pages of a running process.
std::pair<long, long> usage(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    stat.open(QIODevice::ReadOnly);
    const auto f = stat.readAll().split(')').last().split(' ');  // from field 3 on: see proc(5)
    return {f.value(14 - 2).toLong() + f.value(15 - 2).toLong(), f.value(24 - 2).toLong()};
}

}  // namespace

Q_DECLARE_METATYPE(tarvok::protocol::LineSetting)

class SimTest : public QObject {
    Q_OBJECT

private slots:
    // The words compared here are Chinese, whatever the caller's locale.
    void initTestCase() { words::use_language(words::Language::chinese); }
    // What the host's end of the pty receives: the adapter's echo and the reply's
    // timing, and the host's rate and parity as the simulator reads them from termios.
    // Arrival times are checked only from below, where the simulator's own waits
    // hold them up.
    void on_the_wire_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<LineSetting>("line");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("heard");
        QTest::addColumn<QList<int>>("earliest");  // ms after sending, byte by byte
        QTest::addColumn<QStringList>("log");      // in this order
        const QByteArray to1 = command(1, ModeSetting{3, Mode::self_lock}),
                         to7 = command(7, ModeSetting{3, Mode::self_lock}),
                         ok1 = QByteArray::fromHex("2201440000000168");
        const QList<int> at0(8, 0), bytewise{0, 40, 80, 150, 190, 230, 270, 310};  // 40 + 30 split
        QTest::newRow("echo") << "--echo" << LineSetting{} << to1 << to1 + ok1 << QList<int>{}
                              << QStringList{"→ 成功"};
        QTest::newRow("echo, nobody's address") << "--echo --address 2" << LineSetting{} << to1
                                                << to1 << QList<int>{} << QStringList{"已忽略"};
        QTest::newRow("trickle, split")
            << "--trickle 40 --split" << LineSetting{} << to1 << ok1 << bytewise
            << QStringList{"应答分两段发送 · 应答逐字节发送，间隔 40 ms"};
        QTest::newRow("twice") << "--twice 150" << LineSetting{} << to1 << ok1 + ok1
                               << at0 + QList<int>(8, 150) << QStringList{"150 ms 后重复应答"};
        QTest::newRow("echo, trickle, twice")
            << "--echo --trickle 10 --twice 100" << LineSetting{} << to1 << to1 + ok1 + ok1
            << at0 + QList<int>{0, 10, 20, 30, 40, 50, 60, 70} +
                   QList<int>{170, 180, 190, 200, 210, 220, 230, 240}
            << QStringList{"→ 成功"};
        QTest::newRow("even line, module none")
            << "--echo" << LineSetting{9600, Parity::even} << to1 << to1 << QList<int>{}
            << QStringList{"校验位不符：线路 偶校验，本模块 无校验"};
        QTest::newRow("none line, module even")
            << "--module 1@9600/even" << LineSetting{} << to1 << QByteArray() << QList<int>{}
            << QStringList{"校验位不符：线路 无校验，本模块 偶校验"};
        QTest::newRow("odd line, odd module")
            << "--module 1@9600/odd" << LineSetting{9600, Parity::odd} << to1 << ok1 << QList<int>{}
            << QStringList{"→ 成功"};
        QTest::newRow("two groups, 19200 even")
            << "--module 1-3 --module 7@19200/even" << LineSetting{19200, Parity::even} << to1 + to7
            << QByteArray::fromHex("220744000000016e") << QList<int>{}
            << QStringList{"未应答（线路 19200 波特，本模块 9600 波特）",
                           "地址 7 · 第3路 关联方式 自锁 → 成功"};
        // The replies lost are the ones the seed picks, and it picks about the share asked.
        ReplyFaults drop;
        drop.drop_percent = 50, drop.seed = 7;
        QByteArray kept;
        QStringList lost;
        for (std::uint32_t n = 1; n <= 8; ++n)
            reply_lost(drop, n) ? void(lost << QString::fromStdString(lost_label(n)))
                                : void(kept += ok1);
        int share = 0;
        for (std::uint32_t n = 1; n <= 1000; ++n) share += reply_lost(drop, n);
        QVERIFY(!lost.isEmpty() && !kept.isEmpty() && share > 450 && share < 550);
        QTest::newRow("drop 50, seed 7") << "--drop 50 --seed 7" << LineSetting{} << to1.repeated(8)
                                         << kept << QList<int>{} << lost;
    }
    void on_the_wire() {
        QFETCH(QString, args);
        QFETCH(LineSetting, line);
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, heard);
        QFETCH(QList<int>, earliest);
        QFETCH(QStringList, log);
        const testbed::ConfigDir config;
        testbed::Simulator sim;
        const int fd = open_pty(sim.start(kSim, QStringList{"--port", "5"} + args.split(' ')));
        set_line(fd, line);
        QElapsedTimer clock;
        clock.start();
        QList<qint64> at;
        QCOMPARE(::write(fd, sent.constData(), size_t(sent.size())), sent.size());
        QCOMPARE(listen(fd, heard.size(), clock, at).toHex(' '), heard.toHex(' '));
        ::close(fd);
        for (qsizetype i = 0; i < earliest.size(); ++i)
            QVERIFY2(at[i] >= earliest[i],
                     qPrintable(QStringLiteral("byte %1 at %2 ms").arg(i).arg(at[i])));
        for (const QString& text : log) QVERIFY2(sim.take_line(text), qPrintable(text));
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
        const testbed::ConfigDir config;
        const QString com3 = config.ports_dir() + "/com3", owner = com3 + ".owner";
        testbed::Simulator first;
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
            // The lowest free number comes first.
            std::vector<std::unique_ptr<test::WatchedPty>> ptys;
            while (ptys.size() < 32 && (ptys.empty() || ptys.back()->slave_path() != device))
                ptys.push_back(std::make_unique<test::WatchedPty>());
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
        testbed::Simulator next;
        const QString own = next.start(kSim, {"--port", "3", "--address", "1,5", "--pace"});
        QVERIFY(!own.isEmpty() && QFile::symLinkTarget(com3) == own);
        QVERIFY(next.take_line("已替换失效的端口链接 " + com3));
        const int fd = open_pty(own);
        QCOMPARE(round_trip(fd, command(5, ModeSetting{3, Mode::self_lock})),
                 "22 05 44 00 00 00 01 6c");
        ::close(fd);
        QCOMPARE(test::state(next, kWaitMs), state_after({{1}, {5}}, 5, self_lock3));
    }

    // A wrong option, here a second --address with another list, ends it at once.
    void wrong_option() {
        const testbed::ConfigDir config;  // should it start after all
        testbed::Simulator sim;
        QVERIFY(sim.start(kSim, {"--port", "6", "--address", "5", "--address", "6"}).isEmpty());
        QCOMPARE(sim.stop(), std::optional<int>(2));
        QVERIFY2(sim.error_text().contains("“5”和“6”"), qPrintable(sim.error_text()));
    }

    // Endless input without a newline on stdin, and nobody reading stdout.
    void answers_whatever_its_terminal_does() {
        const testbed::ConfigDir config;
        int out[2];
        QVERIFY(::pipe2(out, O_CLOEXEC) == 0);
        QProcess sim;
        sim.setStandardInputFile(QStringLiteral("/dev/zero"));
        sim.setChildProcessModifier([w = out[1]] { ::dup2(w, STDOUT_FILENO); });
        QProcessEnvironment chinese = QProcessEnvironment::systemEnvironment();
        chinese.insert("LC_ALL", "C.UTF-8");  // the log read below
        sim.setProcessEnvironment(chinese);
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
