// What bytes mean: every request survives encoding and decoding, the frames match
// worked examples written out by hand, refusals and reply verdicts carry their
// reasons, and typed address text becomes an address byte or nothing.
#include <QTest>

#include "words/language.h"

#include "protocol/number_text.h"
#include "protocol/reply.h"
#include "protocol/request.h"

using namespace tarvok::protocol;

Q_DECLARE_METATYPE(tarvok::protocol::Request)

namespace {

Frame frame_of(const char* text) {
    const QByteArray bytes = QByteArray::fromHex(QByteArray(text).replace(' ', ""));
    Frame frame{};
    std::copy_n(bytes.constData(), frame.size(), frame.begin());
    return frame;
}

QString hex_of(const Frame& frame) { return QString::fromStdString(hex(frame)); }

std::vector<std::uint8_t> every_channel() {
    std::vector<std::uint8_t> channels = {kAllChannels};
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        channels.push_back(static_cast<std::uint8_t>(ch));
    }
    return channels;
}

std::vector<Request> every_request() {
    std::vector<Request> all;
    for (const std::uint8_t ch : every_channel()) {
        for (const auto& mode : kModes) {
            all.emplace_back(ModeSetting{ch, mode.value});
        }
        for (const auto& state : kPowerOnStates) {
            all.emplace_back(PowerOnSetting{ch, state.value});
        }
    }
    for (const auto& baud : kBaudCodes) {
        for (const auto& parity : kParities) {
            all.emplace_back(LineSetting{baud.baud, parity.value});
        }
    }
    return all;
}

// The builder a command names, fed the parameter bytes it takes: what the window's
// send_frame2/3/4 put on the wire.
Frame through_builder(std::uint8_t address, const CommandBytes& c) {
    const auto code = static_cast<std::uint8_t>(c.command);
    const auto& p = c.params;
    switch (c.builder) {
    case Builder::frame2:
        return encode_frame2(address, code, p[2], p[3]);
    case Builder::frame3:
        return encode_frame3(address, code, p[1], p[2], p[3]);
    case Builder::frame4:
        break;
    }
    return encode_frame4(address, code, p[0], p[1], p[2], p[3]);
}

}  // namespace

class ProtocolTest : public QObject {
    Q_OBJECT

private slots:
    void language_rule_data();
    void language_rule();
    void every_request_round_trips() {
        const auto requests = every_request();
        QCOMPARE(requests.size(), std::size_t{33 * 7 + 8 * 3});
        for (const std::uint8_t address : {0, 1, 127, 255}) {
            for (const Request& request : requests) {
                const Frame frame = encode(address, request);
                const QString what = QString::fromStdString(describe(request));
                QVERIFY2(frame[1] == address, qPrintable(what));
                QCOMPARE(hex_of(through_builder(address, command_bytes(request))), hex_of(frame));
                const Decoded back = decode(frame);
                QVERIFY2(
                    std::holds_alternative<Request>(back) && std::get<Request>(back) == request,
                    qPrintable(what + " " + hex_of(frame)));
            }
        }
    }

    // Worked by hand from the frame layout, independent of the encoder.
    void worked_examples_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<Request>("request");
        QTest::addColumn<QString>("words");
        const auto all = kAllChannels;
        const std::tuple<const char*, int, Request, const char*> rows[] = {
            {"55 01 44 00 00 01 03 9E", 1, ModeSetting{3, Mode::self_lock}, "第3路 关联方式 自锁"},
            {"55 01 44 00 00 03 FF 9C", 1, ModeSetting{all, Mode::momentary},
             "全部通道 关联方式 点动"},
            {"55 01 46 FF FF FF FF 98", 1, PowerOnSetting{all, PowerOn::on},
             "全部通道 上电状态 上电开"},
            {"55 01 46 00 00 00 00 9C", 1, PowerOnSetting{all, PowerOn::off},
             "全部通道 上电状态 上电关"},
            {"55 01 49 FF FF FF FF 9B", 1, PowerOnSetting{all, PowerOn::memory},
             "全部通道 上电状态 上电记忆"},
            {"55 01 47 00 00 01 01 9F", 1, PowerOnSetting{1, PowerOn::on}, "第1路 上电状态 上电开"},
            {"55 01 47 00 00 01 00 9E", 1, PowerOnSetting{1, PowerOn::off},
             "第1路 上电状态 上电关"},
            {"55 01 4A 00 00 20 01 C1", 1, PowerOnSetting{32, PowerOn::memory},
             "第32路 上电状态 上电记忆"},
            {"55 01 4B 00 00 96 00 37", 1, LineSetting{9600, Parity::none}, "通讯参数 9600 无校验"},
            {"55 FF 4B 00 00 11 02 B2", 255, LineSetting{115200, Parity::even},
             "通讯参数 115200 偶校验"},
        };
        for (const auto& [frame, address, request, words] : rows) {
            QTest::newRow(frame) << address << request << words;
        }
    }
    void worked_examples() {
        QFETCH(int, address);
        QFETCH(Request, request);
        QFETCH(QString, words);
        const QString frame = QString::fromLatin1(QTest::currentDataTag());
        QCOMPARE(hex_of(encode(static_cast<std::uint8_t>(address), request)), frame);
        QCOMPARE(QString::fromStdString(describe_frame(frame_of(qPrintable(frame)))), words);
    }

    void refused_frames_data() {
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QString>("words");
        const int range = int(Refusal::out_of_range);
        const std::tuple<const char*, int, const char*> rows[] = {
            {"55 01 44 00 00 01 21 BC", range, "关联方式 参数 00 00 01 21"},  // channel 33
            {"55 01 44 00 00 04 01 9F", range, "关联方式 参数 00 00 04 01"},  // mode 4
            {"55 01 44 00 01 01 01 9D", range, "关联方式 参数 00 01 01 01"},  // padding
            {"55 01 46 FF FF FF 00 99", range, "全部通道上电状态 参数 FF FF FF 00"},
            {"55 01 47 00 00 FF 01 9D", range, "单路上电状态 参数 00 00 FF 01"},  // all as one
            {"55 01 47 00 00 01 02 A0", range, "单路上电状态 参数 00 00 01 02"},
            {"55 01 49 FF FF FF FE 9A", range, "全部通道上电记忆 参数 FF FF FF FE"},
            {"55 01 4A 00 00 01 00 A1", range, "单路上电记忆 参数 00 00 01 00"},
            {"55 01 4B 00 00 13 00 B4", range, "通讯参数 参数 00 00 13 00"},  // baud code
            {"55 01 4B 00 00 11 03 B5", range, "通讯参数 参数 00 00 11 03"},  // parity 3
            // The largest sum wraps to 4F; the code is unknown.
            {"55 FF FF FF FF FF FF 4F", int(Refusal::unknown_command),
             "未知命令 0xFF 参数 FF FF FF FF"},
            {"22 01 44 00 00 01 03 6B", int(Refusal::start_byte), "起始字节不是 55"},
            {"55 01 44 00 00 01 03 9F", int(Refusal::checksum), "校验和错误（应为 9E）"},
        };
        for (const auto& [frame, refusal, words] : rows) {
            QTest::newRow(frame) << refusal << words;
        }
    }
    void refused_frames() {
        QFETCH(int, refusal);
        QFETCH(QString, words);
        const Frame bytes = frame_of(QTest::currentDataTag());
        const Decoded decoded = decode(bytes);
        QVERIFY(std::holds_alternative<Refusal>(decoded));
        QCOMPARE(int(std::get<Refusal>(decoded)), refusal);
        const bool wire_fault =
            refusal == int(Refusal::start_byte) || refusal == int(Refusal::checksum);
        const auto text =
            wire_fault ? describe(std::get<Refusal>(decoded), bytes) : describe_frame(bytes);
        QCOMPARE(QString::fromStdString(text), words);
    }

    void replies_data() {
        QTest::addColumn<int>("verdict");
        QTest::addColumn<QString>("meaning");  // after a frame to address 1, code 44
        const QString earlier = " · 可能是对先前命令的回复";
        const std::tuple<const char*, Verdict, QString> rows[] = {
            {"22 01 44 00 00 00 01 68", Verdict::success, "成功"},
            {"22 01 44 00 00 00 FE 65", Verdict::failure, "失败"},
            {"22 01 44 00 00 00 03 6A", Verdict::success, "成功"},
            {"22 FF FF FF FF FF 01 1E", Verdict::success, "成功" + earlier},  // the sum wraps
            {"55 01 44 00 00 00 01 9B", Verdict::start_byte, "起始字节不是 22"},
            {"22 01 44 00 00 00 01 69", Verdict::checksum, "校验和错误（应为 68）"},
            {"22 05 44 00 00 00 00 6B", Verdict::failure, "失败" + earlier},
        };
        for (const auto& [reply, verdict, meaning] : rows) {
            QTest::newRow(reply) << int(verdict) << meaning;
        }
    }
    void replies() {
        QFETCH(int, verdict);
        QFETCH(QString, meaning);
        const Frame bytes = frame_of(QTest::currentDataTag());
        QCOMPARE(int(judge(bytes)), verdict);
        const Frame sent = encode(1, ModeSetting{3, Mode::self_lock});
        QCOMPARE(QString::fromStdString(line(received_words(bytes, sent))),
                 "接收 " + QString::fromLatin1(QTest::currentDataTag()) + " · " + meaning);
    }

    void address_text_data() {
        QTest::addColumn<int>("address");  // -1: refused
        const std::pair<const char*, int> rows[] = {
            {"1", 1},    {"\t +7 ", 7},  {"2.5", 2},
            {"3.5", 4},  {"255.4", 255}, {"-0.4", 0},
            {".5", 0},   {"255.5", -1},  {"256", -1},
            {"300", -1}, {"-256", -1},   {"-1", -1},
            {"", -1},    {"-", -1},      {"0x10", -1},
            {"1e2", -1}, {"1 2", -1},    {"18446744073709551621", -1},  // wraps 64 bits to 5
        };
        for (const auto& [text, address] : rows) {
            QTest::newRow(text) << address;
        }
    }
    void address_text() {
        QFETCH(int, address);
        const auto byte = address_byte(QTest::currentDataTag());
        QCOMPARE(byte.has_value() ? int(*byte) : -1, address);
    }
};

// The language rule: LC_ALL, LC_MESSAGES, LANG name the locale; C speaks Chinese
// whatever LANGUAGE says; otherwise LANGUAGE's first entry, else the locale.
void ProtocolTest::language_rule_data() {
    QTest::addColumn<QStringList>("variables");  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
    QTest::addColumn<bool>("english");
    QTest::newRow("nothing set") << QStringList{"", "", "", ""} << false;
    QTest::newRow("C.UTF-8") << QStringList{"", "C.UTF-8", "", ""} << false;
    QTest::newRow("POSIX, LANGUAGE=en") << QStringList{"en", "", "", "POSIX"} << false;
    QTest::newRow("zh_CN") << QStringList{"", "", "", "zh_CN.UTF-8"} << false;
    QTest::newRow("zh_TW") << QStringList{"", "", "zh_TW.UTF-8", ""} << false;
    QTest::newRow("en_US") << QStringList{"", "", "", "en_US.UTF-8"} << true;
    QTest::newRow("de_DE") << QStringList{"", "", "", "de_DE.UTF-8"} << true;
    QTest::newRow("LC_ALL over LANG") << QStringList{"", "zh_CN.UTF-8", "", "en_US.UTF-8"} << false;
    QTest::newRow("LC_MESSAGES over LANG") << QStringList{"", "", "en_GB.UTF-8", "zh_CN.UTF-8"}
                                           << true;
    QTest::newRow("LANGUAGE over the locale") << QStringList{"en:zh_CN", "", "", "zh_CN.UTF-8"}
                                              << true;
    QTest::newRow("LANGUAGE's first entry") << QStringList{"zh_CN:en", "", "", "en_US.UTF-8"}
                                            << false;
}

void ProtocolTest::language_rule() {
    QFETCH(QStringList, variables);
    QFETCH(bool, english);
    const auto v = [&](int i) { return variables.at(i).toStdString(); };
    QCOMPARE(tarvok::words::language_of(v(0), v(1), v(2), v(3)) == tarvok::words::Language::english,
             english);
}

QTEST_GUILESS_MAIN(ProtocolTest)
#include "test_protocol.moc"
