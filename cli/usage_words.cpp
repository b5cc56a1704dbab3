// The words of tarvokctl's command-line errors: an option's in cmdline/error.h's one
// wording, the command's here.
#include "cli/options.h"
#include "plan/plan_words.h"

namespace tarvok::cli {

namespace {

std::string command_text(const CommandError& e) {
    switch (e.fault) {
    case CommandFault::missing_command:
        return "缺少命令：mode、power-on、line、apply、scan 或 ports";
    case CommandFault::unknown_command:
        return plan::echo(e.word) + "不是命令，可用：mode、power-on、line、apply、scan、ports";
    case CommandFault::channel_missing:
        return e.word + "需要用 --channel 指定通道（1 到 32 或 all）";
    case CommandFault::channel_not_taken:
        return e.word + "作用于整个模块，不带 --channel";
    case CommandFault::only_for_scan:
        return "--baud all、--parity all 和 --addresses 只用于 scan";
    case CommandFault::scan_arguments:
        return "scan 不带参数、--address 或 --channel：用 --addresses 指定地址范围";
    case CommandFault::ports_arguments:
        return "ports 只列出串口号，不带参数、--address 或 --channel";
    case CommandFault::apply_target:
        return "apply 不带 --address 或 --channel：计划文件每行自带地址和通道";
    case CommandFault::record_not_taken:
        return "--record 只用于发送设置的命令（mode、power-on、line、apply），scan 和 ports "
               "不写记录";
    case CommandFault::apply_plan:
        break;
    }
    return "apply 需要一个计划文件（或用 - 表示标准输入）";
}

}  // namespace

std::string usage_text(const UsageError& error) {
    if (const auto* option = std::get_if<cmdline::Error>(&error.fact)) {
        return cmdline::error_text(*option);
    }
    if (const auto* command = std::get_if<CommandError>(&error.fact)) {
        return command_text(*command);
    }
    return std::get<std::string>(error.fact);
}

}  // namespace tarvok::cli
