// tarvok-sim's words in Chinese and English: the log a technician watches, the errors
// at start and --help.
#include <array>

#include "sim/sim_words.h"

namespace tarvok::sim {

namespace {

using W = SimWord;

constexpr std::string_view kHelpZh =
    "用法：tarvok-sim [选项]\n"
    "在伪终端上模拟一条总线上的继电器模块，并登记为 tarvok 的端口 N\n"
    "（$XDG_CONFIG_HOME/tarvok/ports/comN，未设置或不是绝对路径时为\n"
    " ~/.config/tarvok/ports/comN；旁边的 comN.owner 表明链接归本程序所有）。\n"
    "\n"
    "  --port N|auto       登记为端口 N（1–255），默认 1；auto 取第一个空闲的端口号\n"
    "  --module 地址[@波特率[/校验位]]\n"
    "                      一组模块及其线路，可重复：--module 1-3 --module 7@19200/even\n"
    "                      校验位：none、odd、even（不分大小写，或 无校验、奇校验、偶校验），\n"
    "                      默认 none\n"
    "  --address LIST      再加一组地址（0–255），如 1-8,12，按 --baud 无校验；只能给一个列表；\n"
    "                      既无 --module 也无 --address 时总线上只有地址 1\n"
    "  --baud B            --address 及未写波特率的 --module 组的波特率：\n"
    "                      {}，默认 9600\n"
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

constexpr std::string_view kHelpEn =
    "Usage: tarvok-sim [options]\n"
    "Simulates relay modules on one bus on a pseudo-terminal, registered as tarvok's port N\n"
    "($XDG_CONFIG_HOME/tarvok/ports/comN, or ~/.config/tarvok/ports/comN when that is\n"
    " unset or not absolute; comN.owner beside it shows the link is this program's).\n"
    "\n"
    "  --port N|auto       register as port N (1–255), default 1; auto takes the first free\n"
    "                      port number\n"
    "  --module ADDRESSES[@BAUD[/PARITY]]\n"
    "                      a group of modules and their line, repeatable: --module 1-3\n"
    "                      --module 7@19200/even\n"
    "                      parity: none, odd, even (any case, or the window's Chinese\n"
    "                      words), default none\n"
    "  --address LIST      one more group of addresses (0–255), such as 1-8,12, at --baud\n"
    "                      with no parity; one list only; with neither --module nor\n"
    "                      --address the bus holds address 1 alone\n"
    "  --baud B            the baud rate of --address and of --module groups that give none:\n"
    "                      {}, default 9600\n"
    "  --pace              reply in the real line's time: the wire time of the command and\n"
    "                      the reply, 16 bytes (10 bits a byte, 11 with parity), plus 3 ms\n"
    "                      to turn around\n"
    "  --delay MS          wait MS milliseconds more before replying (0–60000)\n"
    "  --fail              answer every setting with failure and carry none out\n"
    "  --corrupt-checksum  spoil the replies' checksum (the last byte plus 1)\n"
    "  --no-reply          carry out the commands but send no reply\n"
    "  --split             send each reply in two parts (3 + 5 bytes, 30 ms apart)\n"
    "  --garbage           send a few noise bytes before each reply\n"
    "  --echo              act as a two-wire RS-485 adapter without echo suppression:\n"
    "                      every byte the host sends comes straight back (whether a module\n"
    "                      answers or not), before the reply\n"
    "  --trickle MS        send replies byte by byte, MS milliseconds apart (0–60000)\n"
    "  --twice MS          send each reply again MS milliseconds after it (0–60000)\n"
    "  --drop PERCENT      lose PERCENT% of the replies at random (0–100); the commands are\n"
    "                      carried out and the log says so\n"
    "  --seed N            the seed of --drop: one seed loses the same replies; without it\n"
    "                      one is chosen and printed\n"
    "  -h, --help          show this help\n"
    "  --version           show the version\n"
    "\n"
    "A value follows its option or an = (--port=2); an option other than --module given\n"
    "twice must give the same value both times.\n"
    "\n"
    "The first line of output is for programs and never changes: tarvok-sim port N DEVICE\n"
    "(such as /dev/pts/3).\n"
    "While running: type s and Enter (or send SIGUSR1) to print each module's state;\n"
    "Ctrl-C, SIGTERM and the like end it and remove the port link.\n"
    "A module answers only when the host port's baud rate and parity are its own. A\n"
    "pseudo-terminal does not keep PARENB, so parity is judged from PARODD (odd) and INPCK\n"
    "(parity on).\n"
    "Exit codes: 0 stopped normally, 1 no pseudo-terminal or port link could be made,\n"
    "2 wrong options.\n";

constexpr std::array<words::Entry<SimWord>, 52> kWords = {{
    {W::ready,
     {"模拟模块已就绪：端口 {} → {}（{}）", "Simulated modules ready: port {} → {} ({})"}},
    {W::replaced_link,
     {"已替换失效的端口链接 {}（原指向 {}，其模拟模块已退出）",
      "Replaced the stale port link {} (it pointed to {}, whose simulator has ended)"}},
    {W::always_fail, {"一律答失败", "every setting answered with failure"}},
    {W::echo, {"转换器回送主机发出的字节", "the adapter echoes the bytes the host sends"}},
    {W::faults, {"故障模拟：", "Simulated faults: "}},
    {W::fault_separator, {"，", ", "}},
    {W::paced,
     {"应答按线路计时：等命令与应答 16 字节的传输时间，再加 {} ms",
      "Replies keep the line's time: the wire time of the command and reply, 16 bytes, plus "
      "{} ms"}},
    {W::stopped,
     {"模拟模块已停止，端口链接已移除：{}", "Simulated modules stopped, port link removed: {}"}},
    {W::no_home,
     {"错误：HOME 与 XDG_CONFIG_HOME 都未设为绝对路径，无法登记端口",
      "error: neither HOME nor XDG_CONFIG_HOME is an absolute path, so no port can be "
      "registered"}},
    {W::no_signal_pipe,
     {"错误：无法建立信号管道：{}", "error: the signal pipe could not be set up: {}"}},
    {W::applied, {"成功", "done"}},
    {W::refused, {"失败（{}）", "failed ({})"}},
    {W::failed_on_purpose,
     {"失败（模拟失败，未执行）", "failed (a simulated failure; not carried out)"}},
    {W::wrong_rate,
     {"未应答（线路 {} 波特，本模块 {} 波特）",
      "no reply (the line is at {} baud, this module at {} baud)"}},
    {W::wrong_parity,
     {"未应答（校验位不符：线路 {}，本模块 {}）",
      "no reply (the parity differs: the line has {}, this module {})"}},
    {W::other_address,
     {"地址 {} 的帧（总线上没有这个地址的模块）已忽略",
      "frame for address {} ignored (no module on the bus has that address)"}},
    {W::frame_line, {"地址 {} · {} → {}", "address {} · {} → {}"}},
    {W::state_module, {"状态 地址={} 波特率={} 校验={}", "state address={} baud={} parity={}"}},
    {W::state_channel, {"第{}路 关联方式={} 上电状态={}", "channel {} mode={} power-on={}"}},
    {W::group, {"地址 {}，{}", "addresses {}, {}"}},
    {W::group_separator, {"；", "; "}},
    {W::try_stop, {"请先停掉不用的模拟模块。", "Stop a simulator no longer needed first."}},
    {W::try_port,
     {"请换一个端口号，例如 --port {}。", "Choose another port number, for example --port {}."}},
    {W::cannot_create, {"错误：无法创建 {}：{}", "error: {} could not be created: {}"}},
    {W::link_in_use,
     {"错误：端口链接 {} 正由另一个模拟模块（进程 {}）使用。{}",
      "error: the port link {} is in use by another simulator (process {}). {}"}},
    {W::cannot_write, {"错误：无法写入 {}：{}", "error: {} could not be written: {}"}},
    {W::cannot_lock, {"错误：无法锁定 {}", "error: {} could not be locked"}},
    {W::not_symlink,
     {"错误：{} 已存在且不是符号链接，不会覆盖它。{}",
      "error: {} exists and is not a symbolic link; it is left as it is. {}"}},
    {W::manual_link,
     {"错误：端口链接 {}（指向 {}）是手工设置的，模拟模块不会替换或删除它。{}",
      "error: the port link {} (to {}) was set by hand; the simulator neither replaces nor "
      "removes it. {}"}},
    {W::cannot_mkdir,
     {"错误：无法创建目录 {}：{}", "error: the folder {} could not be created: {}"}},
    {W::cannot_link,
     {"错误：无法创建端口链接 {} → {}：{}", "error: the port link {} → {} could not be made: {}"}},
    {W::all_taken,
     {"错误：{} 里的端口号 {} 到 {} 都已被占用。",
      "error: {} has no free port number: {} to {} are all taken."}},
    {W::no_pty, {"错误：无法打开伪终端：{}", "error: no pseudo-terminal could be opened: {}"}},
    {W::no_pty_name,
     {"错误：无法得到伪终端的设备名", "error: the pseudo-terminal's device name is unknown"}},
    {W::failed_call, {"错误：{} 失败：{}", "error: {} failed: {}"}},
    {W::write_pty, {"写入伪终端", "writing to the pseudo-terminal"}},
    {W::read_pty, {"读取伪终端", "reading the pseudo-terminal"}},
    {W::stalled,
     {"应答未能写出：线路 {} ms 内没有腾出空间",
      "a reply could not be written: the line made no room within {} ms"}},
    {W::parity_now, {" · 校验位改为 {}", " · parity now {}"}},
    {W::baud_now, {" · 此后按 {} 波特收发", " · talking at {} baud from now on"}},
    {W::typing_hint,
     {"输入 s 或“状态”查看模块状态，Ctrl-C 退出",
      "Type s to see the modules' state; Ctrl-C ends the simulator"}},
    {W::lines_dropped, {"已丢弃 {} 行日志", "{} log lines dropped"}},
    {W::no_reply, {"不发应答", "no replies"}},
    {W::delay, {"应答延迟 {} ms", "replies {} ms late"}},
    {W::garbage, {"应答前加干扰字节", "noise bytes before each reply"}},
    {W::split, {"应答分两段发送", "replies sent in two parts"}},
    {W::corrupt, {"应答校验和改坏", "replies with a wrong checksum"}},
    {W::trickle, {"应答逐字节发送，间隔 {} ms", "replies sent byte by byte, {} ms apart"}},
    {W::twice, {"{} ms 后重复应答", "each reply again after {} ms"}},
    {W::lost, {"应答随机丢失（第 {} 个应答）", "reply lost at random (reply {})"}},
    {W::drop, {"应答随机丢失 {}%（--seed {}）", "{}% of the replies lost at random (--seed {})"}},
    {W::help, {kHelpZh, kHelpEn}},
}};
static_assert(words::in_id_order(kWords) && kWords.back().id == W::help,
              "one entry per id, in id order");

}  // namespace

words::Catalogue<SimWord> sim_catalogue() { return kWords; }

std::string_view word(SimWord id) { return words::pick(words::text_of(kWords, id)); }

}  // namespace tarvok::sim
