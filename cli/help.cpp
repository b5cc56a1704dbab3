#include "cli/help.h"

#include "cli/exit_codes.h"
#include "plan/plan_input.h"
#include "plan/plan_words.h"
#include "plan/setting_words.h"
#include "protocol/wire.h"

namespace tarvok::cli {

namespace {

using plan::choices;
using plan::kPlanLimits;
using plan::kShownErrors;
using protocol::kKinds;

constexpr std::string_view kUsage =
    "tarvokctl：从命令行设置继电器模块，一次一项，或按计划文件成批设置。\n"
    "\n"
    "用法：\n"
    "  tarvokctl [选项] mode --channel 通道 关联方式\n"
    "  tarvokctl [选项] power-on --channel 通道 上电状态\n"
    "  tarvokctl [选项] line 波特率 校验位\n"
    "  tarvokctl [选项] apply 计划文件        （- 表示标准输入）\n"
    "  tarvokctl [选项] scan [--baud B|all] [--parity P|all] [--addresses 列表]\n"
    "                                         "
    "找出线路上的每个模块（地址、波特率、校验位），不改动任何模块\n"
    "  tarvokctl ports                        列出串口号与设备的对应\n"
    "  tarvokctl --help | --version\n"
    "选项可写在命令之前或之后，取值写在选项之后或 = 之后（--port=1）；-- 之后的参数都不当作\n"
    "选项（例如以 - 开头的值）。同一选项给了两次时，两个取值须相同。\n"
    "\n"
    "例如：\n"
    "  tarvokctl --port 1 --baud 9600 --parity none --address 5 mode --channel 3 自锁\n"
    "  tarvokctl --port 1 --address 5 power-on --channel all 上电记忆\n"
    "  tarvokctl --port 1 --address 5 line 19200 偶校验\n"
    "  tarvokctl --port 1 --follow apply 柜3.csv\n"
    "\n"
    "串口与模块：\n"
    "  --port N       串口号，1 到 255（默认 1）；对应的设备见 tarvokctl ports\n"
    "  --baud B       串口波特率，须与模块一致（默认 9600）\n"
    "  --parity P     串口校验位（默认 无校验）\n"
    "  --address A    模块地址，0 到 255（默认 1）；apply 时由计划文件每行给出\n"
    "  --channel C    mode 与 power-on 的通道\n"
    "\n"
    "应答：\n"
    "  --timeout MS   每次发送后等待应答的毫秒数，默认为 16 字节的传输时间加 ";

constexpr std::string_view kReplies = " ms\n                 （9600 波特无校验时为 ";

constexpr std::string_view kWaiting =
    " ms）\n"
    "  --retries N    无应答时再发几次（默认 1）；模块拒绝的设置不再发\n"
    "  --lenient      模块应答不重复地址和命令时用：任何有效应答都算（默认只算重复了\n"
    "                 所发地址和命令的应答；--strict 即默认，仍可写，但不能与 --lenient 同用）\n"
    "  --follow       apply 中通讯参数修改成功后，按新波特率继续与该模块通讯\n"
    "\n"
    "输出：\n"
    "  默认为中文，每项一行，apply 结束时给出汇总；在终端上另有进度行。\n"
    "  --json         每项设置输出一行 JSON：line、address、setting、request、frame、\n"
    "                 reply、received、outcome（done、refused、no-reply、unconfirmed、\n"
    "                 not-sent）、attempts、milliseconds，适用时还有 late、warning、\n"
    "                 doubt、unsent、moved_to、proven；进度行这时写到标准错误\n"
    "  --verbose      说明计划文件按哪种编码读取（不是 UTF-8 时总会说明）\n"
    "  --record FILE  把这次运行记录为 CSV（UTF-8 带 BOM）：开始和结束的日期时间、串口号、\n"
    "                 设备、线路，每项的结果（中文与 done 等机器词各一列）和时间\n"
    "\n"
    "计划文件（CSV；# 之后为注释；第一个不是注释的行为表头，表头之上可有一行表名）：\n"
    "  地址,设置,通道,值,线路,备注\n"
    "  5,关联方式,第3路,自锁,,一号柜\n"
    "  5,power-on,1-8,上电记忆,19200/偶校验\n"
    "  6,line,,19200 偶校验\n"
    "表头各列次序不限，中文英文均可：地址/address、设置/setting、通道/channel、\n"
    "值/参数/value/arguments、线路/line（模块所在的波特率/校验位，留空则用 --baud 与\n"
    "--parity）、备注/note；其他列不读。表头 address,setting,arguments 之后，参数可\n"
    "各占一个字段，也可写在同一个字段里（5,mode,3 自锁）。通道可写范围（1-8），每一路\n"
    "各发一项。中文输入法打出的逗号和数字也可用。编码为 UTF-8（可带 BOM）或 GB18030\n"
    "（GBK，Excel 与 WPS 的中文 CSV）：给出文件名时按整个文件判断，从标准输入读入时按\n"
    "第一个不全是 ASCII 字符的行判断。\n"
    "字段可加引号（\"5\",\"mode\"，引号内的引号写作 \"\"）；表头与英文词不分大小写。\n";

constexpr std::string_view kSending = "没有错误时逐项发送，每项等到应答再发下一项。\n\n";

std::string plan_lines() {
    return "每个文件至多 " + std::to_string(kPlanLimits.bytes >> 20U) + " MiB、" +
           std::to_string(kPlanLimits.lines) + " 行、" + std::to_string(kPlanLimits.steps) +
           " 项设置，每行至多 " + std::to_string(kPlanLimits.line_bytes) +
           " 字节，超过即停止读取。\n先检查整个文件：每个有误的行都报出行号（前 " +
           std::to_string(kShownErrors) + " 行逐一列出），什么也不发送；\n" + std::string(kSending);
}

std::string value_lines() {
    return "取值（中文为窗口列表中的写法，/ 后为英文别名，两者均可）：\n"
           "  设置名         " +
           choices(kKinds) +
           "\n"
           "  数字           地址、通道、波特率、串口号、毫秒数、次数都只写数字，\n"
           "                 不带小数点、正负号或指数（写 5，不写 5.0）\n"
           "  通道           1 到 32、第1路 到 第32路、all/全部\n"
           "  关联方式       " +
           choices(protocol::kModes) +
           "\n"
           "  上电状态       " +
           choices(protocol::kPowerOnStates) +
           "\n"
           "  波特率         " +
           protocol::baud_list_text() +
           "\n"
           "  校验位         " +
           choices(protocol::kParities) + "\n\n";
}

std::string exit_lines() {
    std::string text = "退出码：\n";
    for (const auto& entry : kExitCodes) {
        const std::string code = std::to_string(static_cast<int>(entry.code));
        text += "  " + code + std::string(4 - code.size(), ' ') + std::string(entry.meaning) + "\n";
    }
    return text;
}

}  // namespace

std::string help_text() {
    return std::string(kUsage) + std::to_string(protocol::kReplyMargin.count()) +
           std::string(kReplies) +
           std::to_string(protocol::reply_timeout_ms(9600, protocol::Parity::none)) +
           std::string(kWaiting) + plan_lines() + value_lines() + exit_lines();
}

}  // namespace tarvok::cli
