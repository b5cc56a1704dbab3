// What tarvokctl says around the settings, in Chinese and English: its command's
// faults, a plan file's reading, the job record, the port list and scans.
#include <array>

#include "cli/cli_words.h"

namespace tarvok::cli {

namespace {

using W = ToolWord;

constexpr std::array<words::Entry<ToolWord>, 35> kWords = {{
    {W::prefix, {"tarvokctl：{}", "tarvokctl: {}"}},
    {W::signal_caught,
     {"收到信号，进行中的一项结束后停止；再收到一次立即结束",
      "signal received: stopping once the setting in flight has ended; a second one ends it "
      "at once"}},
    {W::output_failed,
     {"写出结果失败（磁盘已满，或读取输出的程序已退出）；结果不完整",
      "writing the results failed (a full disk, or the program reading them has ended); the "
      "results are incomplete"}},
    {W::no_ports, {"没有找到串口。", "No serial ports found."}},
    {W::plan_faulty,
     {"计划文件{}有误，什么也没有发送：", "plan file {} has faults, nothing was sent:"}},
    {W::more_faults, {"  还有 {} 行有误", "  {} more lines are wrong"}},
    {W::plan_encoding, {"计划文件{}的编码为 {}", "plan file {} is read as {}"}},
    {W::nothing_sent, {"{}，什么也没有发送", "{}; nothing was sent"}},
    {W::plan_title, {"计划文件{}{}", "plan file {}: {}"}},
    {W::record_failed,
     {"记录文件{}没有写成（{}）：设置已经发送，结果见上；请换一个位置再用 --record",
      "record file {} was not written ({}): the settings were sent, their results are above; "
      "give --record another place"}},
    {W::no_permission, {"没有写入权限", "no permission to write there"}},
    {W::cannot_write, {"无法写入", "it cannot be written"}},
    {W::scan_found, {"找到 {} 个模块：", "Modules found: {}"}},
    {W::scan_address, {"地址", "address"}},
    {W::scan_baud, {"波特率", "baud"}},
    {W::scan_parity, {"校验位", "parity"}},
    {W::scan_module, {"地址 {} · {}", "address {} · {}"}},
    {W::scan_late, {"（回复迟到）", " (late reply)"}},
    {W::scan_progress,
     {"[{}] 地址 {} · {}/{} · 已找到 {} 个", "[{}] address {} · {}/{} · {} found"}},
    {W::unasked, {"扫描已停止，没有询问：", "Scan stopped; not asked: "}},
    {W::unasked_at, {"{} 的地址 {}", "at {} addresses {}"}},
    {W::unasked_separator, {"；", "; "}},
    {W::unasked_all, {" 的全部地址", ": every address"}},
    {W::nothing_found,
     {"没有找到模块。可以试试：加 --baud all --parity all，询问所有波特率和校验位；"
      "检查接线，RS-485 适配器的 A、B 两线是否接反；确认模块已通电。",
      "No modules found. Things to try: add --baud all --parity all to ask at every baud "
      "rate and parity; check the wiring, and whether the RS-485 adapter's A and B are "
      "swapped; make sure the modules have power."}},
    {W::scan_bound,
     {"扫描 {} 个地址、{} 种线路，最多约需 {} 秒（Ctrl-C 可提前结束）",
      "Scanning {} addresses at {} lines takes at most about {} s (Ctrl-C ends it early)"}},
    {W::missing_command,
     {"缺少命令：mode、power-on、line、apply、scan 或 ports",
      "a command is missing: mode, power-on, line, apply, scan or ports"}},
    {W::unknown_command,
     {"{}不是命令，可用：mode、power-on、line、apply、scan、ports",
      "{} is not a command; allowed: mode, power-on, line, apply, scan, ports"}},
    {W::channel_missing,
     {"{}需要用 --channel 指定通道（1 到 32 或 all）",
      "{} needs its channel given with --channel (1 to 32 or all)"}},
    {W::channel_not_taken,
     {"{}作用于整个模块，不带 --channel", "{} is for the whole module and takes no --channel"}},
    {W::only_for_scan,
     {"--baud all、--parity all 和 --addresses 只用于 scan",
      "--baud all, --parity all and --addresses are for scan only"}},
    {W::scan_arguments,
     {"scan 不带参数、--address 或 --channel：用 --addresses 指定地址范围",
      "scan takes no arguments, --address or --channel: give the addresses with --addresses"}},
    {W::ports_arguments,
     {"ports 只列出串口号，不带参数、--address 或 --channel",
      "ports only lists the port numbers and takes no arguments, --address or --channel"}},
    {W::apply_target,
     {"apply 不带 --address 或 --channel：计划文件每行自带地址和通道",
      "apply takes no --address or --channel: each line of the plan file gives its own"}},
    {W::apply_plan,
     {"apply 需要一个计划文件（或用 - 表示标准输入）",
      "apply needs one plan file (or - for standard input)"}},
    {W::record_not_taken,
     {"--record 只用于发送设置的命令（mode、power-on、line、apply），scan 和 ports 不写记录",
      "--record is for the commands that send settings (mode, power-on, line, apply); scan "
      "and ports write no record"}},
}};
static_assert(words::in_id_order(kWords) && kWords.back().id == W::record_not_taken,
              "one entry per id, in id order");

}  // namespace

words::Catalogue<ToolWord> tool_catalogue() { return kWords; }

std::string_view word(ToolWord id) { return words::pick(words::text_of(kWords, id)); }

}  // namespace tarvok::cli
