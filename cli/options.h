// tarvokctl's command line: the PC's line, how to wait for replies, and one
// command (a setting, apply PLAN, ports, --help, --version). Options may stand
// anywhere, before or after the command word; a value follows as the next argument
// or after '='; "--" ends the options. Numbers are digits only: a script's 5.5 is a
// mistake to refuse, never a module to pick.
#pragma once

#include <QStringList>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "plan/plan.h"
#include "serial/line_settings.h"

namespace tarvok::cli {

using plan::PlanStep;

struct RunConfig {
    int port = 1;
    protocol::LineSetting line;      // the PC's line to start with
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
    Command command;
};

struct UsageError {
    std::string message;  // Chinese, one sentence naming the argument at fault
};

// `arguments` as QCoreApplication::arguments() gives them, the program first.
std::variant<Invocation, UsageError> parse_invocation(const QStringList& arguments);

}  // namespace tarvok::cli
