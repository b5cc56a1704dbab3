// Command-line options of tarvok-sim. Kept apart from the program so that every
// refusal can be checked without starting a simulator.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "cmdline/error.h"
#include "serial/port_registry.h"
#include "sim/module_groups.h"
#include "sim/reply_faults.h"

namespace tarvok::sim {

// --port auto: the first port number nobody else holds.
inline constexpr int kFirstFreePort = 0;

// The bus: each --module group in the order given. --address LIST is one more group
// at --baud, at the place of --address among them (given again, only with the same
// list), and --baud is also the rate of every --module group that names none. With
// neither --module nor --address the bus holds module 1. No address is in two groups.
struct Options {
    int port = 1;  // or kFirstFreePort
    std::vector<ModuleGroup> groups{{{1}, LineSetting{}}};
    bool fail = false;
    bool echo = false;  // the adapter hands back every byte the host sends
    // Set by --seed; otherwise the program picks one and says which.
    bool seed_given = false;
    ReplyFaults faults;
};

inline constexpr int kMaxPort = serial::kLastPort;
inline constexpr int kMaxDelayMs = 60'000;  // also for --trickle and --twice

struct HelpRequested {};
struct VersionRequested {};
using ParsedOptions = std::variant<Options, HelpRequested, VersionRequested, cmdline::Error>;

// `args` without the program name, in the style of cmdline/parse.h. --help and
// --version answer once every option is known and has its value.
ParsedOptions parse_options(std::span<const std::string> args);

std::string help_text();
std::string version_text();

}  // namespace tarvok::sim
