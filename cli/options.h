// tarvokctl's command line: the PC's line, how to wait for replies, and one
// command (a setting, apply PLAN, scan, ports, --help, --version), in the style of
// cmdline/parse.h that every program shares: options anywhere, before or after the
// command word; a value as the next argument or after '='; "--" ends the options; an
// option given twice must give the same value. Numbers are digits only: a script's
// 5.5 is a mistake to refuse, never a module to pick.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "cmdline/error.h"
#include "plan/plan.h"
#include "protocol/request.h"

namespace tarvok::cli {

using plan::PlanStep;

struct RunConfig {
    int port = 1;
    protocol::LineSetting line;     // the PC's line to start with
    std::optional<int> timeout_ms;  // per attempt; from the line rate when absent
    int retries = 1;                // further attempts after no reply
    // A reply counts only when it repeats the address and command sent, unless lenient
    // (for modules that do not repeat them); --strict, the default, stays accepted.
    bool lenient = false;
    bool follow = false;  // after a line change, talk to that module at its new rate
};

inline constexpr int kMaxTimeoutMs = 600'000;
inline constexpr int kMaxRetries = 100;

struct ShowHelp {};
struct ShowVersion {};
struct ListPorts {};
struct SendOne {
    PlanStep step;  // line 0
};
struct ApplyPlan {
    std::string path;  // "-" reads the plan from standard input
};
// Which lines and addresses a scan tries; an empty rate or parity means every one.
struct ScanBus {
    std::optional<std::uint32_t> baud;
    std::optional<protocol::Parity> parity;
    std::vector<std::uint8_t> addresses;
    int retries = 0;  // one frame per address and line unless --retries says more
};
using Command = std::variant<ShowHelp, ShowVersion, ListPorts, SendOne, ApplyPlan, ScanBus>;

struct Invocation {
    RunConfig run;
    bool json = false;
    bool verbose = false;  // say which encoding a plan was read in, even UTF-8
    // Where the job record goes (plan/job_record.h); only for commands that send settings.
    std::optional<std::string> record;
    Command command;
};

// What is wrong with the command word and what goes with it.
enum class CommandFault {
    missing_command,
    unknown_command,    // word: what was typed
    channel_missing,    // word: the setting, which needs --channel
    channel_not_taken,  // word: the setting, which acts on the whole module
    only_for_scan,      // --baud all, --parity all or --addresses with another command
    scan_arguments,     // scan with arguments, --address or --channel
    ports_arguments,    // ports with arguments, --address or --channel
    apply_target,       // apply with --address or --channel
    apply_plan,         // apply without exactly one plan
    record_not_taken,   // --record with scan or ports, which send no settings
};

struct CommandError {
    CommandFault fault = CommandFault::missing_command;
    std::string word;
};

// An option's fault, the command's, or a setting's arguments in the sentence
// setting_from() makes.
struct UsageError {
    std::variant<cmdline::Error, CommandError, std::string> fact;
};

// The sentence for standard error, without the program's name.
std::string usage_text(const UsageError& error);

// `arguments` after the program's name.
std::variant<Invocation, UsageError> parse_invocation(std::span<const std::string> arguments);

}  // namespace tarvok::cli
