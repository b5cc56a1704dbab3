// The simulated module: its protocol engine on its own (state changes, refusals,
// frame finding, rate change, log and state text, reply faults, options), then the
// real tarvok-sim process's port link and signals. Replies and rate changes of the
// process are exercised through the window in the end-to-end test, and any chunking
// of the byte stream by the frame_reader fuzz target.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include "protocol/frame.h"
#include "sim/cli_options.h"
#include "sim/module_engine.h"
#include "sim/reply_faults.h"

using namespace tarvok::sim;
using tarvok::protocol::Frame;

Q_DECLARE_METATYPE(tarvok::sim::ModuleState)
Q_DECLARE_METATYPE(tarvok::sim::Outcome)

namespace {

QByteArray bytes_of(const Frame& f) {
    return QByteArray(reinterpret_cast<const char*>(f.data()), 8);
}

QByteArray cmd(int address, int code, std::array<std::uint8_t, 4> params) {
    return bytes_of(tarvok::protocol::make_frame(0x55, static_cast<std::uint8_t>(address),
                                                 static_cast<std::uint8_t>(code), params));
}

QByteArray reply(int address, int code, int status) {
    return bytes_of(tarvok::protocol::make_frame(0x22, static_cast<std::uint8_t>(address),
                                                 static_cast<std::uint8_t>(code),
                                                 {0, 0, 0, static_cast<std::uint8_t>(status)}));
}

std::span<const std::uint8_t> span_of(const QByteArray& b) {
    return {reinterpret_cast<const std::uint8_t*>(b.constData()),
            static_cast<std::size_t>(b.size())};
}

ModuleState all(ModuleState s, Mode mode) {
    for (auto& ch : s.channels) ch.mode = mode;
    return s;
}

ModuleState all(ModuleState s, PowerOn state) {
    for (auto& ch : s.channels) ch.power_on = state;
    return s;
}

ModuleState with_channel(ModuleState s, int channel, Mode mode) {
    s.channels.at(channel - 1).mode = mode;
    return s;
}

ModuleState with_channel(ModuleState s, int channel, PowerOn state) {
    s.channels.at(channel - 1).power_on = state;
    return s;
}

ModuleState serial(ModuleState s, std::uint32_t baud, Parity parity) {
    s.baud = baud;
    s.parity = parity;
    return s;
}

// "k=v k=v" fields of one state-text line.
QMap<QString, QString> fields(const QString& line) {
    QMap<QString, QString> out;
    for (const auto& part : line.split(' ')) {
        const auto eq = part.indexOf('=');
        if (eq > 0) out.insert(part.left(eq), part.mid(eq + 1));
    }
    return out;
}

// ---- the real process ----

struct Sim {
    QProcess proc;
    QString out;

    void start(const QString& config_home, const QStringList& args) {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config_home);
        proc.setProcessEnvironment(env);
        proc.start(TARVOK_SIM_PATH, args);
    }
    // The first stdout line containing `text`, empty after `ms` without one.
    QString wait_line(const QString& text, int ms = 5000) {
        QElapsedTimer timer;
        timer.start();
        while (true) {
            out += QString::fromUtf8(proc.readAllStandardOutput());
            for (const auto& line : out.split('\n'))
                if (line.contains(text)) return line;
            if (timer.elapsed() > ms || proc.state() == QProcess::NotRunning) return {};
            proc.waitForReadyRead(50);
        }
    }
    QString device() {
        static const QRegularExpression re("→ (\\S+)（");
        return re.match(wait_line("模拟模块已就绪")).captured(1);
    }
    ~Sim() {
        if (proc.state() != QProcess::NotRunning) {
            proc.kill();
            proc.waitForFinished(2000);
        }
    }
};

QString link_target(const QString& config_home, int port) {
    return QFile::symLinkTarget(config_home + QStringLiteral("/tarvok/ports/com%1").arg(port));
}

}  // namespace

class SimEngineTest : public QObject {
    Q_OBJECT

private slots:
    void command_changes_state_data() {
        QTest::addColumn<ModuleState>("start");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<ModuleState>("expected");
        const ModuleState d;
        ModuleState far;
        far.address = 200;
        QTest::newRow("ch3 self-locking")
            << d << cmd(1, 0x44, {0, 0, 1, 3}) << with_channel(d, 3, Mode::self_locking);
        QTest::newRow("ch32 momentary")
            << d << cmd(1, 0x44, {0, 0, 3, 32}) << with_channel(d, 32, Mode::momentary);
        QTest::newRow("all interlocked")
            << d << cmd(1, 0x44, {0, 0, 2, 0xFF}) << all(d, Mode::interlocked);
        QTest::newRow("ch5 back to unlinked")
            << all(d, Mode::self_locking) << cmd(1, 0x44, {0, 0, 0, 5})
            << with_channel(all(d, Mode::self_locking), 5, Mode::unlinked);
        QTest::newRow("addr 200 ch1")
            << far << cmd(200, 0x44, {0, 0, 2, 1}) << with_channel(far, 1, Mode::interlocked);
        QTest::newRow("all on") << d << cmd(1, 0x46, {0xFF, 0xFF, 0xFF, 0xFF})
                                << all(d, PowerOn::on);
        QTest::newRow("all off") << all(d, PowerOn::memory) << cmd(1, 0x46, {0, 0, 0, 0}) << d;
        QTest::newRow("ch7 on") << d << cmd(1, 0x47, {0, 0, 7, 1})
                                << with_channel(d, 7, PowerOn::on);
        QTest::newRow("ch7 off") << all(d, PowerOn::memory) << cmd(1, 0x47, {0, 0, 7, 0})
                                 << with_channel(all(d, PowerOn::memory), 7, PowerOn::off);
        QTest::newRow("all memory")
            << d << cmd(1, 0x49, {0xFF, 0xFF, 0xFF, 0xFF}) << all(d, PowerOn::memory);
        QTest::newRow("ch32 memory")
            << d << cmd(1, 0x4A, {0, 0, 32, 1}) << with_channel(d, 32, PowerOn::memory);
        const std::array<std::pair<int, std::uint32_t>, 8> codes = {{{0x12, 1200},
                                                                     {0x24, 2400},
                                                                     {0x48, 4800},
                                                                     {0x96, 9600},
                                                                     {0x19, 19200},
                                                                     {0x38, 38400},
                                                                     {0x57, 57600},
                                                                     {0x11, 115200}}};
        for (const auto& [code, baud] : codes) {
            const int parity = static_cast<int>(baud % 3);
            QTest::addRow("serial %u parity %d", baud, parity)
                << serial(d, 57600, Parity::even)
                << cmd(1, 0x4B,
                       {0, 0, static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(parity)})
                << serial(d, baud, static_cast<Parity>(parity));
        }
    }
    void command_changes_state() {
        QFETCH(ModuleState, start);
        QFETCH(QByteArray, frame);
        QFETCH(ModuleState, expected);
        ModuleEngine engine(start);
        const auto events = engine.feed(span_of(frame), start.baud);
        QCOMPARE(events.size(), std::size_t{1});
        QCOMPARE(events[0].outcome, Outcome::applied);
        QVERIFY(events[0].reply);
        QCOMPARE(bytes_of(*events[0].reply), reply(start.address, frame[2], 1));
        QVERIFY(engine.state() == expected);
    }

    void reply_bytes() {
        ModuleEngine engine;
        const auto ok = engine.feed(span_of(cmd(1, 0x44, {0, 0, 1, 3})), 9600);
        const auto bad = engine.feed(span_of(cmd(1, 0x44, {0, 0, 4, 3})), 9600);
        QCOMPARE(bytes_of(*ok.at(0).reply).toHex(' '), QByteArray("22 01 44 00 00 00 01 68"));
        QCOMPARE(bytes_of(*bad.at(0).reply).toHex(' '), QByteArray("22 01 44 00 00 00 00 67"));
    }

    void refused_frame_changes_nothing_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("fail");
        QTest::addColumn<Outcome>("outcome");
        const auto range = Outcome::out_of_range;
        QTest::newRow("mode ch0") << cmd(1, 0x44, {0, 0, 1, 0}) << false << range;
        QTest::newRow("mode ch33") << cmd(1, 0x44, {0, 0, 1, 33}) << false << range;
        QTest::newRow("mode 4") << cmd(1, 0x44, {0, 0, 4, 1}) << false << range;
        QTest::newRow("mode padding") << cmd(1, 0x44, {0, 1, 1, 1}) << false << range;
        QTest::newRow("power all mixed") << cmd(1, 0x46, {0xFF, 0xFF, 0xFF, 0}) << false << range;
        QTest::newRow("power all 01") << cmd(1, 0x46, {1, 1, 1, 1}) << false << range;
        QTest::newRow("power ch all") << cmd(1, 0x47, {0, 0, 0xFF, 1}) << false << range;
        QTest::newRow("power state 2") << cmd(1, 0x47, {0, 0, 1, 2}) << false << range;
        QTest::newRow("memory all FE") << cmd(1, 0x49, {0xFF, 0xFF, 0xFF, 0xFE}) << false << range;
        QTest::newRow("memory ch last 0") << cmd(1, 0x4A, {0, 0, 1, 0}) << false << range;
        QTest::newRow("memory ch all") << cmd(1, 0x4A, {0, 0, 0xFF, 1}) << false << range;
        QTest::newRow("baud code 0x13") << cmd(1, 0x4B, {0, 0, 0x13, 0}) << false << range;
        QTest::newRow("parity 3") << cmd(1, 0x4B, {0, 0, 0x11, 3}) << false << range;
        QTest::newRow("unknown 0x45")
            << cmd(1, 0x45, {0, 0, 0, 0}) << false << Outcome::unknown_command;
        QTest::newRow("told to fail mode")
            << cmd(1, 0x44, {0, 0, 1, 3}) << true << Outcome::failed_on_purpose;
        QTest::newRow("told to fail serial")
            << cmd(1, 0x4B, {0, 0, 0x11, 2}) << true << Outcome::failed_on_purpose;
    }
    void refused_frame_changes_nothing() {
        QFETCH(QByteArray, frame);
        QFETCH(bool, fail);
        QFETCH(Outcome, outcome);
        const ModuleState start =
            with_channel(all(ModuleState{}, PowerOn::memory), 2, Mode::interlocked);
        ModuleEngine engine(start, fail);
        const auto events = engine.feed(span_of(frame), 9600);
        QCOMPARE(events.size(), std::size_t{1});
        QCOMPARE(events[0].outcome, outcome);
        QVERIFY(events[0].reply);
        QCOMPARE(bytes_of(*events[0].reply), reply(1, frame[2], 0));
        QVERIFY(!events[0].baud_after_reply);
        QVERIFY(engine.state() == start);
    }

    void unanswered_frame_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("line_baud");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("other address")
            << 1 << cmd(2, 0x44, {0, 0, 1, 3}) << 9600 << Outcome::other_address;
        QTest::newRow("line slower")
            << 1 << cmd(1, 0x44, {0, 0, 1, 3}) << 4800 << Outcome::wrong_rate;
        QTest::newRow("unknown line rate")
            << 1 << cmd(1, 0x44, {0, 0, 1, 3}) << 0 << Outcome::wrong_rate;
    }
    void unanswered_frame() {
        QFETCH(int, address);
        QFETCH(QByteArray, frame);
        QFETCH(int, line_baud);
        QFETCH(Outcome, outcome);
        ModuleState start;
        start.address = static_cast<std::uint8_t>(address);
        ModuleEngine engine(start);
        const auto events = engine.feed(span_of(frame), static_cast<std::uint32_t>(line_baud));
        QCOMPARE(events.size(), std::size_t{1});
        QCOMPARE(events[0].outcome, outcome);
        QVERIFY(!events[0].reply);
        QVERIFY(engine.state() == start);
    }

    void finds_frames_data() {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QByteArrayList>("expected");
        const QByteArray a = cmd(1, 0x44, {0, 0, 1, 3});
        const QByteArray b = cmd(1, 0x47, {0, 0, 9, 1});
        QByteArray a_bad = a;
        a_bad[7] = static_cast<char>(a_bad[7] + 1);
        QTest::newRow("junk before") << QByteArray("\x01\x02\xFF", 3) + a << QByteArrayList{a};
        QTest::newRow("false start") << QByteArray("\x55") + a << QByteArrayList{a};
        QTest::newRow("two false starts") << QByteArray("\x55\x55") + a << QByteArrayList{a};
        QTest::newRow("bad checksum then good") << a_bad + b << QByteArrayList{b};
        QTest::newRow("truncated then good") << a.left(5) + b << QByteArrayList{b};
        QTest::newRow("back to back") << a + b << QByteArrayList{a, b};
        QTest::newRow("junk between") << a + QByteArray("\x00\x55", 2) + b << QByteArrayList{a, b};
        QTest::newRow("bad checksum alone") << a_bad << QByteArrayList{};
        QTest::newRow("a reply is no command") << reply(1, 0x44, 1) << QByteArrayList{};
    }
    void finds_frames() {
        QFETCH(QByteArray, stream);
        QFETCH(QByteArrayList, expected);
        FrameReader reader;
        QByteArrayList found;
        for (const auto& f : reader.push(span_of(stream))) found << bytes_of(f);
        QCOMPARE(found, expected);
    }

    void rate_change_waits_for_reply() {
        ModuleEngine engine;
        const QByteArray to_19200 = cmd(1, 0x4B, {0, 0, 0x19, 1});
        const QByteArray mode = cmd(1, 0x44, {0, 0, 2, 1});
        const auto first = engine.feed(span_of(to_19200 + mode), 9600);
        QCOMPARE(first.size(), std::size_t{2});
        QCOMPARE(first[0].outcome, Outcome::applied);
        QCOMPARE(first[0].module_baud, 9600U);  // the reply still goes out at the old rate
        QCOMPARE(first[0].baud_after_reply, std::optional<std::uint32_t>(19200));
        QCOMPARE(first[1].outcome, Outcome::wrong_rate);  // host not yet switched over
        QVERIFY(!first[1].reply);
        QCOMPARE(engine.state().baud, 19200U);
        QCOMPARE(engine.state().channels[0].mode, Mode::unlinked);

        const auto second = engine.feed(span_of(mode), 19200);
        QCOMPARE(second.at(0).outcome, Outcome::applied);
        QCOMPARE(engine.state().channels[0].mode, Mode::interlocked);

        const auto parity_only = engine.feed(span_of(cmd(1, 0x4B, {0, 0, 0x19, 2})), 19200);
        QCOMPARE(parity_only.at(0).outcome, Outcome::applied);
        QVERIFY(!parity_only.at(0).baud_after_reply);
        QCOMPARE(engine.state().parity, Parity::even);
    }

    void log_line_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("line_baud");
        QTest::addColumn<bool>("fail");
        QTest::addColumn<QString>("expected");
        QTest::newRow("mode") << cmd(1, 0x44, {0, 0, 1, 3}) << 9600 << false
                              << "地址 1 · 第3路 关联方式 自锁 → 成功";
        QTest::newRow("all on") << cmd(1, 0x46, {0xFF, 0xFF, 0xFF, 0xFF}) << 9600 << false
                                << "地址 1 · 全部通道 上电状态 上电开 → 成功";
        QTest::newRow("serial") << cmd(1, 0x4B, {0, 0, 0x11, 2}) << 9600 << false
                                << "地址 1 · 通讯参数 115200 偶校验 → 成功";
        QTest::newRow("other") << cmd(2, 0x44, {0, 0, 1, 3}) << 9600 << false
                               << "地址 2 的帧（不是本模块）已忽略";
        QTest::newRow("range") << cmd(1, 0x44, {0, 0, 1, 33}) << 9600 << false
                               << "地址 1 · 关联方式 参数 00 00 01 21 → 失败（参数超出范围）";
        QTest::newRow("unknown") << cmd(1, 0x50, {0, 0, 0, 0xAB}) << 9600 << false
                                 << "地址 1 · 未知命令 0x50 参数 00 00 00 AB → 失败（未知命令）";
        QTest::newRow("fail") << cmd(1, 0x4A, {0, 0, 5, 1}) << 9600 << true
                              << "地址 1 · 第5路 上电状态 上电记忆 → 失败（模拟失败，未执行）";
        QTest::newRow("rate")
            << cmd(1, 0x44, {0, 0, 3, 0xFF}) << 4800 << false
            << "地址 1 · 全部通道 关联方式 点动 → 未应答（线路 4800 波特，本模块 9600 波特）";
    }
    void log_line() {
        QFETCH(QByteArray, frame);
        QFETCH(int, line_baud);
        QFETCH(bool, fail);
        QFETCH(QString, expected);
        ModuleEngine engine({}, fail);
        const auto events = engine.feed(span_of(frame), static_cast<std::uint32_t>(line_baud));
        QCOMPARE(QString::fromStdString(tarvok::sim::log_line(events.at(0))), expected);
    }

    void state_text_lists_every_channel() {
        ModuleState s = with_channel(
            with_channel(serial({}, 38400, Parity::odd), 2, Mode::interlocked), 2, PowerOn::on);
        s = with_channel(with_channel(s, 32, Mode::momentary), 32, PowerOn::memory);
        s.address = 7;
        const QStringList lines =
            QString::fromStdString(state_text(s)).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 33);
        QVERIFY(lines[0].startsWith("状态 "));
        QCOMPARE(fields(lines[0]),
                 (QMap<QString, QString>{{"地址", "7"}, {"波特率", "38400"}, {"校验", "奇校验"}}));
        const QMap<QString, QString> plain{{"关联方式", "不关联"}, {"上电状态", "上电关"}};
        for (int ch = 1; ch <= 32; ++ch)
            QVERIFY2(lines[ch].startsWith(QStringLiteral("第%1路 ").arg(ch)),
                     qPrintable(lines[ch]));
        QCOMPARE(fields(lines[1]), plain);
        QCOMPARE(fields(lines[2]),
                 (QMap<QString, QString>{{"关联方式", "联动"}, {"上电状态", "上电开"}}));
        QCOMPARE(fields(lines[32]),
                 (QMap<QString, QString>{{"关联方式", "点动"}, {"上电状态", "上电记忆"}}));
    }

    // A host that slides past bad starts must find the real reply and nothing else.
    void junk_never_hides_the_reply() {
        for (const bool corrupt : {false, true}) {
            for (std::uint32_t seed = 0; seed < 3000; ++seed) {
                Frame r = tarvok::protocol::make_frame(
                    0x22, static_cast<std::uint8_t>(seed), 0x44 + seed % 8,
                    {0, 0, 0, static_cast<std::uint8_t>(seed % 2)});
                r[7] = static_cast<std::uint8_t>(r[7] + (corrupt ? 1 : 0));
                const auto junk = junk_bytes(r, seed);
                QVERIFY(junk.size() >= 3 && junk.size() <= 6);
                QCOMPARE(junk[1], std::uint8_t{0x22});
                std::vector<std::uint8_t> stream = junk;
                stream.insert(stream.end(), r.begin(), r.end());
                std::vector<std::size_t> valid_at;
                for (std::size_t i = 0; i + 8 <= stream.size(); ++i)
                    if (tarvok::protocol::reply_valid(
                            tarvok::protocol::frame_from(std::span(stream).subspan(i))))
                        valid_at.push_back(i);
                const auto expected =
                    corrupt ? std::vector<std::size_t>{} : std::vector<std::size_t>{junk.size()};
                QVERIFY2(valid_at == expected, qPrintable(QStringLiteral("seed %1").arg(seed)));
            }
        }
    }

    void shape_reply_data() {
        QTest::addColumn<int>("delay");
        QTest::addColumn<bool>("corrupt");
        QTest::addColumn<bool>("split");
        QTest::addColumn<bool>("garbage");
        QTest::newRow("delayed") << 250 << false << false << false;
        QTest::newRow("corrupt") << 0 << true << false << false;
        QTest::newRow("garbage split delayed") << 40 << false << true << true;
        QTest::newRow("garbage corrupt") << 0 << true << false << true;
    }
    void shape_reply() {
        QFETCH(int, delay);
        QFETCH(bool, corrupt);
        QFETCH(bool, split);
        QFETCH(bool, garbage);
        const Frame r = tarvok::protocol::make_frame(0x22, 1, 0x44, {0, 0, 0, 1});
        const auto pieces = tarvok::sim::shape_reply(r, {delay, corrupt, false, split, garbage}, 7);
        QByteArray sent;
        for (const auto& p : pieces)
            sent.append(reinterpret_cast<const char*>(p.bytes.data()),
                        static_cast<qsizetype>(p.bytes.size()));
        QByteArray want = bytes_of(r);
        want[7] = static_cast<char>(want[7] + (corrupt ? 1 : 0));
        QCOMPARE(sent.right(8), want);
        QCOMPARE(sent.size() > 8, garbage);
        QCOMPARE(pieces.front().pause_ms, delay);
        QCOMPARE(pieces.size(), std::size_t{1} + (garbage ? 1 : 0) + (split ? 1 : 0));
        if (split) {
            QCOMPARE(pieces.back().bytes.size(), std::size_t{5});
            QVERIFY(pieces.back().pause_ms > 0);
        }
        QVERIFY(tarvok::sim::shape_reply(r, {delay, corrupt, true, split, garbage}, 7).empty());
    }

    void parses_options_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QList<int>>("expected");  // port, address, baud, delay
        QTest::addColumn<QString>("flags");
        QTest::newRow("defaults") << QStringList{} << QList<int>{1, 1, 9600, 0} << "";
        QTest::newRow("values") << QStringList{"--port", "12",     "--address", "0",
                                               "--baud", "115200", "--delay",   "250"}
                                << QList<int>{12, 0, 115200, 250} << "";
        QTest::newRow("equals form") << QStringList{"--port=255", "--baud=1200", "--address=255"}
                                     << QList<int>{255, 255, 1200, 0} << "";
        QTest::newRow("last wins")
            << QStringList{"--port", "2", "--port", "5"} << QList<int>{5, 1, 9600, 0} << "";
        QTest::newRow("flags") << QStringList{"--garbage", "--fail", "--split", "--no-reply",
                                              "--corrupt-checksum"}
                               << QList<int>{1, 1, 9600, 0} << "fail corrupt none split garbage";
    }
    void parses_options() {
        QFETCH(QStringList, args);
        QFETCH(QList<int>, expected);
        QFETCH(QString, flags);
        std::vector<std::string> owned;
        for (const auto& a : args) owned.push_back(a.toStdString());
        const std::vector<std::string_view> views(owned.begin(), owned.end());
        const auto parsed = parse_options(views);
        const auto* o = std::get_if<Options>(&parsed);
        QVERIFY(o);
        QCOMPARE((QList<int>{o->port, o->address, static_cast<int>(o->baud), o->faults.delay_ms}),
                 expected);
        QStringList set;
        if (o->fail) set << "fail";
        if (o->faults.corrupt_checksum) set << "corrupt";
        if (o->faults.no_reply) set << "none";
        if (o->faults.split) set << "split";
        if (o->faults.garbage) set << "garbage";
        QCOMPARE(set.join(' '), flags);
    }

    void rejects_options_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("named");  // what the message must point at
        QTest::newRow("port 0") << QStringList{"--port", "0"} << "--port";
        QTest::newRow("port 256") << QStringList{"--port=256"} << "--port";
        QTest::newRow("port word") << QStringList{"--port", "x"} << "--port";
        QTest::newRow("port missing") << QStringList{"--port"} << "--port";
        QTest::newRow("baud 9601") << QStringList{"--baud", "9601"} << "--baud";
        QTest::newRow("delay -1") << QStringList{"--delay", "-1"} << "--delay";
        QTest::newRow("flag with value") << QStringList{"--fail=1"} << "--fail";
        QTest::newRow("unknown") << QStringList{"--bogus"} << "--bogus";
        QTest::newRow("stray") << QStringList{"3"} << "3";
    }
    void rejects_options() {
        QFETCH(QStringList, args);
        QFETCH(QString, named);
        std::vector<std::string> owned;
        for (const auto& a : args) owned.push_back(a.toStdString());
        const std::vector<std::string_view> views(owned.begin(), owned.end());
        const auto parsed = parse_options(views);
        const auto* error = std::get_if<OptionError>(&parsed);
        QVERIFY(error);
        QVERIFY2(QString::fromStdString(error->message).contains(named), error->message.c_str());
    }

    // ---- the tarvok-sim process over its pty ----

    void process_link_ownership() {
        QTemporaryDir home;
        Sim owner;
        owner.start(home.path(), {"--port", "5"});
        const QString device = owner.device();
        QVERIFY(!device.isEmpty());

        Sim intruder;
        intruder.start(home.path(), {"--port", "5"});
        QVERIFY(intruder.proc.waitForFinished(5000));
        QVERIFY(intruder.proc.exitCode() != 0);
        QVERIFY(QString::fromUtf8(intruder.proc.readAllStandardError())
                    .contains(home.path() + "/tarvok/ports/com5"));
        QCOMPARE(link_target(home.path(), 5), device);

        const QString ports = home.path() + "/tarvok/ports/";
        QFile plain(home.path() + "/not-a-device");
        QVERIFY(plain.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(home.path() + "/gone", ports + "com6"));
        QVERIFY(QFile::link(plain.fileName(), ports + "com7"));
        for (int port : {6, 7}) {
            Sim taker;
            taker.start(home.path(), {"--port", QString::number(port)});
            const QString own = taker.device();
            QVERIFY2(!own.isEmpty(), qPrintable(taker.proc.readAllStandardError()));
            QCOMPARE(link_target(home.path(), port), own);
            QVERIFY(taker.out.contains("已替换失效的端口链接"));
        }
    }

    void process_removes_link_on_signal_data() {
        QTest::addColumn<int>("signo");
        QTest::addColumn<bool>("repointed");  // someone else took the port meanwhile
        QTest::newRow("SIGINT") << SIGINT << false;
        QTest::newRow("SIGTERM") << SIGTERM << false;
        QTest::newRow("SIGHUP") << SIGHUP << false;
        QTest::newRow("SIGTERM, link re-pointed") << SIGTERM << true;
    }
    void process_removes_link_on_signal() {
        QFETCH(int, signo);
        QFETCH(bool, repointed);
        QTemporaryDir home;
        const QString link = home.path() + "/tarvok/ports/com9";
        Sim sim;
        sim.start(home.path(), {"--port", "9", "--address", "4"});
        QVERIFY(!sim.device().isEmpty());
        QVERIFY(QFileInfo(link).isSymLink());
        if (repointed) {
            QVERIFY(QFile::remove(link) && QFile::link("/dev/null", link));
        }
        ::kill(static_cast<pid_t>(sim.proc.processId()), signo);
        QVERIFY(sim.proc.waitForFinished(3000));
        QCOMPARE(sim.proc.exitCode(), 0);
        QCOMPARE(QFileInfo(link).isSymLink(), repointed);
    }

    void process_rejects_bad_option() {
        QTemporaryDir home;
        Sim sim;
        sim.start(home.path(), {"--baud", "1000"});
        QVERIFY(sim.proc.waitForFinished(3000));
        QCOMPARE(sim.proc.exitCode(), 2);
        QVERIFY(!sim.proc.readAllStandardError().isEmpty());
        QVERIFY(!QFileInfo::exists(home.path() + "/tarvok/ports/com1"));
    }
};

QTEST_GUILESS_MAIN(SimEngineTest)
#include "test_sim_engine.moc"
