// The byte-level pieces on their own: encoders, checksum, reply check, the number
// conversions of typed text, and the settings text of the line.
#include <QTest>

#include <stdexcept>

#include "protocol/frame.h"
#include "protocol/number_text.h"
#include "serial/line_settings.h"

using namespace tarvok;
using protocol::Frame;

namespace {

Frame hex_frame(const char* text) {
    const QByteArray bytes = QByteArray::fromHex(QByteArray(text).replace(' ', ""));
    Frame frame{};
    for (int i = 0; i < 8; ++i) {
        frame.at(static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(bytes.at(i));
    }
    return frame;
}

QByteArray hex(const Frame& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()), 8).toHex(' ').toUpper();
}

}  // namespace

class ProtocolTest : public QObject {
    Q_OBJECT

private slots:
    void encoders_data() {
        QTest::addColumn<int>("builder");
        QTest::addColumn<QList<int>>("args");  // address, code, parameters
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("mode ch3 self-lock")
            << 3 << QList<int>{1, 0x44, 0, 1, 3} << QByteArray("55 01 44 00 00 01 03 9E");
        QTest::newRow("mode all momentary")
            << 3 << QList<int>{1, 0x44, 0, 3, 0xFF} << QByteArray("55 01 44 00 00 03 FF 9C");
        QTest::newRow("all on") << 4 << QList<int>{1, 0x46, 0xFF, 0xFF, 0xFF, 0xFF}
                                << QByteArray("55 01 46 FF FF FF FF 98");
        QTest::newRow("all off") << 4 << QList<int>{1, 0x46, 0, 0, 0, 0}
                                 << QByteArray("55 01 46 00 00 00 00 9C");
        QTest::newRow("ch1 on") << 2 << QList<int>{1, 0x47, 1, 1}
                                << QByteArray("55 01 47 00 00 01 01 9F");
        QTest::newRow("all memory") << 4 << QList<int>{1, 0x49, 0xFF, 0xFF, 0xFF, 0xFF}
                                    << QByteArray("55 01 49 FF FF FF FF 9B");
        QTest::newRow("ch32 memory")
            << 2 << QList<int>{1, 0x4A, 0x20, 1} << QByteArray("55 01 4A 00 00 20 01 C1");
        QTest::newRow("9600 none")
            << 2 << QList<int>{1, 0x4B, 0x96, 0} << QByteArray("55 01 4B 00 00 96 00 37");
        QTest::newRow("addr 255 115200 even")
            << 2 << QList<int>{255, 0x4B, 0x11, 2} << QByteArray("55 FF 4B 00 00 11 02 B2");
        QTest::newRow("largest sum") << 4 << QList<int>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}
                                     << QByteArray("55 FF FF FF FF FF FF 4F");
    }
    void encoders() {
        QFETCH(int, builder);
        QFETCH(QList<int>, args);
        QFETCH(QByteArray, expected);
        std::array<std::uint8_t, 6> a{};
        for (qsizetype i = 0; i < args.size(); ++i) {
            a.at(static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(args.at(i));
        }
        Frame frame{};
        switch (builder) {
        case 2:
            frame = protocol::encode_frame2(a[0], a[1], a[2], a[3]);
            break;
        case 3:
            frame = protocol::encode_frame3(a[0], a[1], a[2], a[3], a[4]);
            break;
        default:
            frame = protocol::encode_frame4(a[0], a[1], a[2], a[3], a[4], a[5]);
            break;
        }
        QCOMPARE(hex(frame), expected);
    }

    void reply_check_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("status");  // -1: rejected
        QTest::newRow("success") << QByteArray("22 01 44 00 00 00 01 68") << 1;
        QTest::newRow("0xFE is failure") << QByteArray("22 01 44 00 00 00 FE 65") << 0;
        QTest::newRow("0x03 is success") << QByteArray("22 01 44 00 00 00 03 6A") << 1;
        QTest::newRow("sum wraps") << QByteArray("22 FF FF FF FF FF 01 1E") << 1;
        QTest::newRow("command start byte") << QByteArray("55 01 44 00 00 00 01 9B") << -1;
        QTest::newRow("checksum one low") << QByteArray("22 01 44 00 00 00 01 67") << -1;
        QTest::newRow("checksum one high") << QByteArray("22 01 44 00 00 00 01 69") << -1;
        QTest::newRow("sum without start byte") << QByteArray("22 FF FF FF FF FF 01 FC") << -1;
    }
    void reply_check() {
        QFETCH(QByteArray, reply);
        QFETCH(int, status);
        const auto result = protocol::reply_status(hex_frame(reply.constData()));
        QCOMPARE(result.has_value() ? int(*result) : -1, status);
    }

    void get_bit_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("bit");
        QTest::newRow("lsb set") << 0x01 << 0 << 1;
        QTest::newRow("lsb clear") << 0xFE << 0 << 0;
        QTest::newRow("msb") << 0x80 << 7 << 1;
        QTest::newRow("bit 3 of 0xF7") << 0xF7 << 3 << 0;
    }
    void get_bit() {
        QFETCH(int, value);
        QFETCH(int, index);
        QFETCH(int, bit);
        QCOMPARE(protocol::get_bit(static_cast<std::uint8_t>(value), index), bit);
    }
    void get_bit_refuses_index_outside_byte() {
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, protocol::get_bit(0xFF, 8));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, protocol::get_bit(0xFF, -1));
    }

    void address_text_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("address");  // -1: refused
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("256 wraps to 0") << "256" << 0;
        QTest::newRow("300 wraps to 44") << "300" << 0x2C;
        QTest::newRow("-256 is 0") << "-256" << 0;
        QTest::newRow("-1 refused") << "-1" << -1;
        QTest::newRow("blanks") << " 7 " << 7;
        QTest::newRow("tab and plus") << "\t+9" << 9;
        QTest::newRow("2.5 to even") << "2.5" << 2;
        QTest::newRow("3.5 to even") << "3.5" << 4;
        QTest::newRow("2.51 up") << "2.51" << 3;
        QTest::newRow("-0.4 is 0") << "-0.4" << 0;
        QTest::newRow(".5 is 0") << ".5" << 0;
        QTest::newRow("int32 max") << "2147483647" << 255;
        QTest::newRow("int32 min") << "-2147483648" << 0;
        QTest::newRow("beyond 32 bits") << "2147483648" << -1;
        QTest::newRow("far beyond 64 bits") << "99999999999999999999999" << -1;
        QTest::newRow("wraps 64 bits to 5") << "18446744073709551621" << -1;
        QTest::newRow("wraps 64 bits to 300") << "18446744073709551916" << -1;
        QTest::newRow("half rounds past int32") << "2147483647.5" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("blank") << "   " << -1;
        QTest::newRow("sign alone") << "-" << -1;
        QTest::newRow("dot alone") << "." << -1;
        QTest::newRow("letters") << "abc" << -1;
        QTest::newRow("trailing letter") << "12a" << -1;
        QTest::newRow("hex prefix") << "0x10" << -1;
        QTest::newRow("thousands") << "1,000" << -1;
        QTest::newRow("exponent") << "1e2" << -1;
        QTest::newRow("inner blank") << "1 2" << -1;
        QTest::newRow("two dots") << "1.2.3" << -1;
    }
    void address_text() {
        QFETCH(QString, text);
        QFETCH(int, address);
        const auto byte = protocol::address_byte(text.toStdString());
        QCOMPARE(byte.has_value() ? int(*byte) : -1, address);
    }

    void int16_text_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("converts");
        QTest::newRow("blanks") << " 7 " << 7 << true;
        QTest::newRow("2.5") << "2.5" << 2 << true;
        QTest::newRow("3.5") << "3.5" << 4 << true;
        QTest::newRow("007") << "007" << 7 << true;
        QTest::newRow("-1 converts") << "-1" << -1 << true;
        QTest::newRow("256 converts") << "256" << 256 << true;
        QTest::newRow("32767") << "32767" << 32767 << true;
        QTest::newRow("-32768") << "-32768" << -32768 << true;
        QTest::newRow("40000 overflows") << "40000" << 0 << false;
        QTest::newRow("wraps 64 bits to 5") << "18446744073709551621" << 0 << false;
        QTest::newRow("32767.5 rounds over") << "32767.5" << 0 << false;
        QTest::newRow("empty") << "" << 0 << false;
        QTest::newRow("abc") << "abc" << 0 << false;
    }
    void int16_text() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(bool, converts);
        const auto result = protocol::to_int16(text.toStdString());
        QCOMPARE(result.has_value(), converts);
        if (converts) {
            QCOMPARE(int(*result), value);
        }
    }

    void line_settings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("baud");  // 0: rejected
        QTest::addColumn<int>("parity");
        QTest::newRow("9600 none") << "9600,n,8,1" << 9600 << int(serial::Parity::none);
        QTest::newRow("2400 odd") << "2400,o,8,1" << 2400 << int(serial::Parity::odd);
        QTest::newRow("115200 even upper") << "115200,E,8,1" << 115200 << int(serial::Parity::even);
        QTest::newRow("seven data bits") << "9600,n,7,1" << 0 << 0;
        QTest::newRow("two stop bits") << "9600,n,8,2" << 0 << 0;
        QTest::newRow("mark parity") << "9600,m,8,1" << 0 << 0;
        QTest::newRow("missing field") << "9600,n,8" << 0 << 0;
        QTest::newRow("extra field") << "9600,n,8,1," << 0 << 0;
        QTest::newRow("zero baud") << "0,n,8,1" << 0 << 0;
        QTest::newRow("leading zero") << "09600,n,8,1" << 0 << 0;
        QTest::newRow("blank") << " 9600,n,8,1" << 0 << 0;
        QTest::newRow("text baud") << "fast,n,8,1" << 0 << 0;
        QTest::newRow("too fast") << "4000001,n,8,1" << 0 << 0;
        QTest::newRow("overflow") << "99999999999,n,8,1" << 0 << 0;
        QTest::newRow("empty") << "" << 0 << 0;
    }
    void line_settings() {
        QFETCH(QString, text);
        QFETCH(int, baud);
        QFETCH(int, parity);
        const auto parsed = serial::parse_line_settings(text.toStdString());
        QCOMPARE(parsed.has_value(), baud != 0);
        if (parsed) {
            QCOMPARE(int(parsed->baud), baud);
            QCOMPARE(int(parsed->parity), parity);
        }
    }
};

QTEST_GUILESS_MAIN(ProtocolTest)
#include "test_protocol.moc"
