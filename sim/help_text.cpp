// tarvok-sim --help and --version.
#include "protocol/request.h"
#include "sim/cli_options.h"

namespace tarvok::sim {

std::string help_text() {
    return "用法：tarvok-sim [选项]\n"
           "在伪终端上模拟一条总线上的继电器模块，并登记为 tarvok 的端口 N\n"
           "（$XDG_CONFIG_HOME/tarvok/ports/comN，未设置或不是绝对路径时为\n"
           " ~/.config/tarvok/ports/comN；旁边的 comN.owner 表明链接归本程序所有）。\n"
           "\n"
           "  --port N|auto       登记为端口 N（1–255），默认 1；auto 取第一个空闲的端口号\n"
           "  --module 地址[@波特率[/校验位]]\n"
           "                      一组模块及其线路，可重复：--module 1-3 --module 7@19200/even\n"
           "                      校验位：none、odd、even（不分大小写，或 "
           "无校验、奇校验、偶校验），\n"
           "                      默认 none\n"
           "  --address LIST      再加一组地址（0–255），如 1-8,12，按 --baud "
           "无校验；只能给一个列表；\n"
           "                      既无 --module 也无 --address 时总线上只有地址 1\n"
           "  --baud B            --address 及未写波特率的 --module 组的波特率：\n"
           "                      " +
           protocol::baud_list_text() +
           "，默认 9600\n"
           "  --pace              按真实线路的时间应答：命令与应答 16 字节的传输时间\n"
           "                      （每字节 10 位，有校验时 11 位）再加 3 ms 转换时间\n"
           "  --delay MS          应答前再等待 MS 毫秒（0–60000）\n"
           "  --fail              一律答失败，命令不执行\n"
           "  --corrupt-checksum  应答的校验和改坏（最后一字节加 1）\n"
           "  --no-reply          命令照常执行，但不发应答\n"
           "  --split             应答分两段发送（3 + 5 字节，中间停 30 ms）\n"
           "  --garbage           应答前先发几个干扰字节\n"
           "  --echo              像无回显抑制的两线 RS-485 转换器：主机发出的每个字节\n"
           "                      立即原样送回（不论有无模块应答），在应答之前\n"
           "  --trickle MS        应答逐字节发送，每字节间隔 MS 毫秒（0–60000）\n"
           "  --twice MS          应答发完 MS 毫秒后再发一遍同样的应答（0–60000）\n"
           "  --drop PERCENT      随机丢弃 PERCENT% 的应答（0–100），命令照常执行，日志注明\n"
           "  --seed N            --drop 的随机种子：同一种子丢同样的应答；不给时自选并打印\n"
           "  -h, --help          显示本说明\n"
           "  --version           显示版本\n"
           "\n"
           "取值写在选项之后或 = 之后（--port=2）；除 --module 外，同一选项给了两次时取值须相同。\n"
           "\n"
           "输出的第一行给程序读取，写法总是不变：tarvok-sim port N 设备（如 /dev/pts/3）。\n"
           "运行中：输入 s 或“状态”并回车（或发送 SIGUSR1）打印每块模块的状态；\n"
           "Ctrl-C、SIGTERM 等退出，并移除端口链接。\n"
           "模块只在主机串口的波特率和校验位都与自己的一致时应答。伪终端不保留 PARENB，\n"
           "校验位按 PARODD（奇校验）与 INPCK（有校验）判断。\n"
           "退出码：0 正常停止，1 无法建立伪终端或端口链接，2 选项有误。\n";
}

std::string version_text() { return std::string("tarvok-sim ") + TARVOK_VERSION + "\n"; }

}  // namespace tarvok::sim
