// The plan room without a program around it: plans as people write them, read to
// steps or to the words of their faults; one row at a time as a table editor checks
// it; and steps written out and read back. Also the plain rooms' words in English
// (tests/english_words.h), and their catalogues: every entry in both languages.
#include <QTest>

#include "plan/plan_input.h"
#include "plan/plan_words.h"
#include "plan/plan_writer.h"
#include "plan/row_check.h"
#include "tests/english_words.h"

using namespace tarvok;
using plan::PlanStep;

namespace {

// "3:5 第3路 关联方式 自锁 @19200/2 #门边": line, address, request, module line, remark.
QString shown(const PlanStep& s) {
    QString text = QString("%1:%2 %3")
                       .arg(s.line)
                       .arg(s.address)
                       .arg(QString::fromStdString(protocol::describe(s.request)));
    if (s.module_line) {
        text += QString(" @%1/%2").arg(s.module_line->baud).arg(int(s.module_line->parity));
    }
    return s.remark.empty() ? text : text + " #" + QString::fromStdString(s.remark);
}

// The steps joined by "; ", or every fault's words joined by " | ", after the title.
QString shown(const plan::Plan& p) {
    QStringList parts;
    if (p.title_line > 0) {
        parts << QString::fromStdString(plan::title_words(p.title_line));
    }
    for (const auto& step : p.steps) {
        parts << shown(step);
    }
    for (const auto& error : p.errors) {
        parts << QString::fromStdString(plan::error_words(error));
    }
    if (p.stopped) {
        parts << QString::fromStdString(plan::error_words(*p.stopped));
    }
    return parts.join(p.ok() ? "; " : " | ");
}

plan::Plan streamed(const QByteArray& bytes) {
    plan::PlanReader reader;
    reader.feed(bytes.toStdString());
    reader.finish();
    return reader.plan();
}

const QByteArray kGbOne = "\xD2\xBB";               // 一 in GB18030, and valid UTF-8 too (U+04BB)
const QByteArray kGbSelfLock = "\xD7\xD4\xCB\xF8";  // 自锁

}  // namespace

class PlanTest : public QObject {
    Q_OBJECT

private slots:
    // The words these tables hold are Chinese, whatever the caller's locale.
    void initTestCase() { tarvok::words::use_language(tarvok::words::Language::chinese); }
    void reads_data();
    void reads() {
        QFETCH(QByteArray, input);
        QFETCH(bool, stream);
        QFETCH(QString, expected);
        QCOMPARE(shown(stream ? streamed(input) : plan::parse_plan(input.toStdString())), expected);
    }
    void rows_data();
    void rows();
    void round_trip();
    void english_data();
    void english();
    void catalogues() { test::check_catalogues(); }
};

void PlanTest::reads_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("stream");
    QTest::addColumn<QString>("expected");
    const QString mode3 = "3:5 第3路 关联方式 自锁";
    QTest::newRow("classic header, arguments in fields or blanks")
        << QByteArray("address,setting,arguments\n5,mode,3,自锁\n6,line,19200 even\n") << true
        << "2:5 第3路 关联方式 自锁; 3:6 通讯参数 19200 偶校验";
    QTest::newRow("Chinese header")
        << QByteArray("# 柜 3\n地址,设置,通道,值\n5,关联方式,3,自锁\n") << false << mode3;
    QTest::newRow("English header in another order, unknown column kept out")
        << QByteArray("Value,CHANNEL,Owner,setting,Address,Note\nself-lock,3,王,mode,5,门边\n")
        << false << "2:5 第3路 关联方式 自锁 #门边";
    QTest::newRow("title row") << QByteArray("柜 3 左门,,,\n地址,设置,通道,值\n5,mode,3,自锁\n")
                               << false << "第 1 行当作表名略过; " + mode3;
    QTest::newRow("备注 after the classic arguments")
        << QByteArray("address,setting,arguments,备注\n5,mode,3 自锁,\"门边, 上\"\n") << false
        << "2:5 第3路 关联方式 自锁 #门边, 上";
    QTest::newRow("第 3 路 in its column or in the value")
        << QByteArray("地址,设置,通道,值\n5,mode,第 3 路,自锁\n5,mode,,第 4 路 自锁\n") << false
        << "2:5 第3路 关联方式 自锁; 3:5 第4路 关联方式 自锁";
    QTest::newRow("channel ranges")
        << QByteArray("address,setting,arguments\n5,mode,2-3,自锁\n5,power-on,第 4-5 路 on\n")
        << false
        << "2:5 第2路 关联方式 自锁; 2:5 第3路 关联方式 自锁; "
           "3:5 第4路 上电状态 上电开; 3:5 第5路 上电状态 上电开";
    QTest::newRow("full-width commas, digits and spaces")
        << QByteArray("地址，设置，通道，值\n５，mode，３，自锁\n5,mode,3，自锁\n") << false
        << "2:5 第3路 关联方式 自锁; " + mode3;
    QTest::newRow("line column")
        << QByteArray("地址,设置,通道,值,线路\n5,mode,3,自锁,19200/偶校验\n6,line,,9600 odd,9600\n")
        << false << "2:5 第3路 关联方式 自锁 @19200/2; 3:6 通讯参数 9600 奇校验 @9600/0";
    const QByteArray gb_plan =
        "# " + kGbOne + " 2024\naddress,setting,arguments\n5,mode,3," + kGbSelfLock + "\n";
    QTest::newRow("GB18030 judged whole") << gb_plan << false << mode3;
    QTest::newRow("GB18030 as a stream")
        << gb_plan << true
        << "第 3 行：编码与前面的行不同（前面是 UTF-8），请把整个文件另存为 UTF-8 的 CSV "
           "文件；从标准输入读入时按第一个不全是 ASCII "
           "字符的行确定编码，直接给出文件名则按整个文件确定";
    const QByteArray header = "address,setting,arguments\r\n";
    QTest::newRow("4096 bytes and CR LF")
        << header + "#" + QByteArray(4095, 'x') + "\r\n5,mode,3,自锁\r\n"
        << true << mode3;
    QTest::newRow("4097 bytes") << header + "#" + QByteArray(4096, 'x') + "\n"
                                << true
                                << "第 2 行：超过 4096 字节，已停止读取；计划的一行不会这么长，"
                                   "请检查这是不是 CSV 文件";
    const QString cr_alone =
        "第 1 行：只用回车（CR）分行，这是早期 Mac 的文本，已停止读取；"
        "请另存为用 LF 或 CR LF 分行的 CSV 文件";
    const QByteArray cr_plan = "address,setting,arguments\r5,mode,3,自锁\r";
    QTest::newRow("CR alone") << cr_plan << true << cr_alone;
    QTest::newRow("CR alone, past the line limit") << cr_plan.repeated(200) << true << cr_alone;
    QTest::newRow("no header after a title")
        << QByteArray("柜 3\n5,mode,3,自锁\n5,mode,40,自锁\n") << false
        << "第 1 行：应为表头，例如 address,setting,arguments 或 "
           "地址,设置,通道,值（表头之上至多一行表名） | "
           "第 3 行：通道“40”无效，应为 1 到 32、第1路 到 第32路、all 或 全部";
    QTest::newRow("header faults") << QByteArray("地址,设置,通道\n") << false
                                   << "第 1 行：表头缺少“值”列（也可写作 value、参数、arguments）";
    QTest::newRow("row faults")
        << QByteArray(
               "地址,设置,通道,值,线路,备注\n5,mode,4-2,自锁\n5,line,3,9600 none\n"
               "5,mode,3,自锁,19200/偶\n5,mode,3,自锁,,门,边\n")
        << false
        << "第 2 行：通道范围“4-2”无效，应为从小到大的两个通道，例如 1-8 | "
           "第 3 行：通讯参数作用于整个模块，通道“3”应留空 | "
           "第 4 行：线路“19200/偶”无效，应为 波特率 或 波特率/校验位，例如 19200/偶校验；"
           "波特率可用：1200、2400、4800、9600、19200、38400、57600、115200 | "
           "第 5 行：第 7 个字段没有对应的表头；字段里有逗号时，请给整个字段加上引号";
}

// One row as a table editor holds it: every cell's fault, each naming its cell.
void PlanTest::rows_data() {
    QTest::addColumn<QStringList>("cells");  // address, setting, channel, value, remark, line
    QTest::addColumn<QString>("expected");   // the steps, or "column: words" per fault
    QTest::newRow("good")
        << QStringList{"5", "mode", "1-2", "自锁", "门边", "19200/even"}
        << "0:5 第1路 关联方式 自锁 @19200/2 #门边; 0:5 第2路 关联方式 自锁 @19200/2 #门边";
    QTest::newRow("every cell wrong")
        << QStringList{"5.5", "mode", "40", "自锁", QString(101, 'x'), "300"}
        << "0: 地址“5.5”无效，应为 0 到 255 的整数; 2: 通道“40”无效，应为 1 到 32、第1路 到 "
           "第32路、all 或 全部; 4: 线路“300”无效，应为 波特率 或 波特率/校验位，例如 "
           "19200/偶校验；波特率可用：1200、2400、4800、9600、19200、38400、57600、115200; "
           "5: 备注超过 100 个字";
    QTest::newRow("setting missing, value wrong unseen")
        << QStringList{"5", "", "3", "x", "", ""} << "1: 应为 地址,设置,参数，例如 5,mode,3,自锁";
}

void PlanTest::rows() {
    QFETCH(QStringList, cells);
    QFETCH(QString, expected);
    const auto check =
        plan::check_row({cells[0].toStdString(), cells[1].toStdString(), cells[2].toStdString(),
                         cells[3].toStdString(), cells[4].toStdString(), cells[5].toStdString()});
    QStringList parts;
    for (const auto& step : check.steps) {
        parts << shown(step);
    }
    for (const auto& fault : check.faults) {
        parts << QString("%1: %2")
                     .arg(int(*fault.column))
                     .arg(QString::fromStdString(plan::error_words(fault)));
    }
    QCOMPARE(parts.join("; "), expected);
}

// Every kind of step, with and without its module's line and a remark that needs
// quotes, written in either language reads back as it was, one row a line.
void PlanTest::round_trip() {
    using namespace protocol;
    const std::vector<PlanStep> steps = {
        {2, 0, ModeSetting{kAllChannels, Mode::momentary}, LineSetting{115200, Parity::odd},
         "a,\"b\" #c"},
        {3, 255, PowerOnSetting{32, PowerOn::memory}, std::nullopt, "门边，上"},
        {4, 7, LineSetting{1200, Parity::even}, LineSetting{9600, Parity::none}, ""},
    };
    for (const auto language : {plan::PlanLanguage::chinese, plan::PlanLanguage::english}) {
        const std::string text = plan::write_plan(steps, language);
        QCOMPARE(plan::parse_plan(text).steps, steps);
        QVERIFY(text.starts_with(language == plan::PlanLanguage::chinese
                                     ? "\xEF\xBB\xBF地址,设置,通道,值,线路,备注\r\n"
                                     : "\xEF\xBB\xBF"
                                       "address,setting,channel,value,line,note\r\n"));
    }
}

// Each sentence says what its Chinese says (the port, the holder, the line, the
// verdict), with nothing left in Chinese; the JSON field stays as it is.
void PlanTest::english_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("holds");
    QTest::addColumn<bool>("english");
    for (const auto& row : test::english_rows()) {
        QTest::newRow(row.name) << QString::fromStdString(row.text) << row.holds << row.english;
    }
}

void PlanTest::english() {
    QFETCH(QString, text);
    QFETCH(QStringList, holds);
    QFETCH(bool, english);
    for (const QString& part : holds) {
        QVERIFY2(text.contains(part), qPrintable(text + " lacks " + part));
    }
    QVERIFY2(test::has_cjk(text.toStdString()) != english, qPrintable(text));
}

QTEST_GUILESS_MAIN(PlanTest)
#include "test_plan.moc"
