// The window program's command line, in the style every program shares
// (cmdline/parse.h): -h/--help, -v/--version, at most one plan file to open in
// 批量配置, and the options Qt's GUI takes for itself (-platform, -display, -reverse,
// ...), which count as known until the application object has taken them out.
#pragma once

#include <span>
#include <string>
#include <variant>

#include "cmdline/error.h"

namespace tarvok::app {

enum class Asked { window, help, version };

struct CommandLine {
    Asked asked = Asked::window;
    std::string platform;        // -platform's value; empty when not given
    bool display_named = false;  // -display given
    std::string plan;            // a plan file to open in 批量配置; empty for none
};

// `args` after the program's name, before the application object exists.
std::variant<CommandLine, cmdline::Error> read_command_line(std::span<const std::string> args);

// What the application object left of `args`: Qt's options are no longer known, so one
// it did not take (-display under Wayland) is the error.
std::variant<CommandLine, cmdline::Error> read_leftovers(std::span<const std::string> args);

std::string help_text();

}  // namespace tarvok::app
