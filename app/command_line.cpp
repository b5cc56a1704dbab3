#include "app/command_line.h"

#include <array>

#include "cmdline/parse.h"
#include "words/language.h"

namespace tarvok::app {

namespace {

// Ours first, then Qt's: those of its GUI module, its widgets and the X11 platform,
// the ones with a value first.
constexpr std::size_t kOwnOptions = 2;
constexpr std::array<cmdline::Option, 23> kOptions = {{
    {"help", false, "h"},
    {"version", false, "v"},
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"session", true},
    {"display", true},
    {"geometry", true},
    {"title", true},
    {"icon", true},
    {"name", true},
    {"style", true},
    {"stylesheet", true},
    {"qmljsdebugger", true},
    {"reverse", false},
    {"widgetcount", false},
    {"sync", false},
    {"nograb", false},
    {"dograb", false},
}};

std::variant<CommandLine, cmdline::Error> read(std::span<const cmdline::Option> table,
                                               std::span<const std::string> args) {
    auto parsed = cmdline::parse(table, args);
    if (auto* error = std::get_if<cmdline::Error>(&parsed)) {
        return std::move(*error);
    }
    const auto& given = std::get<cmdline::Arguments>(parsed);
    CommandLine line;
    if (cmdline::asks(given, 0)) {
        line.asked = Asked::help;
    } else if (cmdline::asks(given, 1)) {
        line.asked = Asked::version;
    } else if (given.positional.size() > 1) {
        return cmdline::Error{cmdline::Fault::extra_argument, {}, given.positional[1], {}, {}};
    } else if (!given.positional.empty()) {
        line.plan = given.positional.front();
    }
    for (const auto& [option, value] : given.options) {
        const std::string_view name = table[option].name;
        line.platform = name == "platform" ? value : line.platform;
        line.display_named |= name == "display";
    }
    return line;
}

}  // namespace

std::variant<CommandLine, cmdline::Error> read_command_line(std::span<const std::string> args) {
    return read(kOptions, args);
}

std::variant<CommandLine, cmdline::Error> read_leftovers(std::span<const std::string> args) {
    return read(std::span(kOptions).first(kOwnOptions), args);
}

namespace {

// Printed before any window exists, so in the Qt-free catalogues' way rather than Qt's.
constexpr words::Text kHelp = {
    "用法：tarvok [选项] [计划文件]\n"
    "Tarvok：通过串口设置继电器模块各路的关联方式、上电状态和模块的通讯参数。\n"
    "给出计划文件（tarvokctl 读的 CSV）时，启动后在“批量配置”窗口中打开它。\n"
    "\n"
    "选项：\n"
    "  -h, --help     显示本帮助后退出。\n"
    "  -v, --version  显示版本号后退出。\n"
    "也接受 Qt 的选项，如 -platform offscreen、-display :0。\n"
    "\n"
    "按键（也可在主窗口空白处点右键，从菜单打开）：\n"
    "  F12 或 Ctrl+L  通讯记录：收发的每一帧及其含义\n"
    "  Ctrl+F         扫描总线：找出线路上的模块，不改动任何设置\n"
    "  Ctrl+B         批量配置：一次设置许多模块的许多通道；F5 开始，Esc 停止\n"
    "\n"
    "SIGTERM、SIGHUP 和 SIGINT（Ctrl-C）像关闭窗口一样结束程序：串口随之关闭，\n"
    "退出码为 128 加信号的编号（143、129、130）。\n",
    "Usage: tarvok [options] [plan file]\n"
    "Tarvok: sets the input/output mode and power-on state of each channel of relay\n"
    "modules, and the modules' baud rate and parity, over a serial port.\n"
    "Given a plan file (the CSV tarvokctl reads), opens it in Batch setup at start.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit.\n"
    "  -v, --version  show the version and exit.\n"
    "Qt's options are taken as well, such as -platform offscreen or -display :0.\n"
    "\n"
    "Keys (also in the menu of a right-click on the main window's background):\n"
    "  F12 or Ctrl+L  Traffic log: every frame sent and received, and what it means\n"
    "  Ctrl+F         Bus scan: find the modules on the line, changing no setting\n"
    "  Ctrl+B         Batch setup: many channels of many modules at once; F5 starts,\n"
    "                 Esc stops\n"
    "\n"
    "SIGTERM, SIGHUP and SIGINT (Ctrl-C) end the program as closing the window does: the\n"
    "port closes, and the exit code is 128 plus the signal's number (143, 129, 130).\n",
};

}  // namespace

std::string help_text() { return std::string(words::pick(kHelp)); }

}  // namespace tarvok::app
