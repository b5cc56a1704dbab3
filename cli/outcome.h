// What became of each setting, and the exit code a whole run ends with.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plan/plan.h"
#include "protocol/frame.h"

namespace tarvok::cli {

using plan::PlanStep;

enum class Outcome {
    done,      // the module answered with success
    refused,   // the module answered with status 0; never sent again
    no_reply,  // nothing that counts as a reply within the timeout, after every retry
    not_sent,  // the run stopped before this setting's turn
};

// Name for people, alias for --json.
inline constexpr std::array<protocol::Named<Outcome>, 4> kOutcomes = {{
    {Outcome::done, "成功", "done"},
    {Outcome::refused, "模块拒绝", "refused"},
    {Outcome::no_reply, "无应答", "no-reply"},
    {Outcome::not_sent, "未发送", "not-sent"},
}};

struct StepResult {
    PlanStep step;
    protocol::Frame frame{};
    std::optional<protocol::Frame> reply;
    Outcome outcome = Outcome::not_sent;
    bool echoed = true;    // false: the reply did not repeat the address and command sent
    bool cut_off = false;  // the port went away while this setting waited for its reply
    bool late = false;     // the reply came after the deadline, with nothing sent since
    bool busy = false;     // the line never went quiet long enough to judge a reply
    int echoes = 0;        // frames the adapter handed back
    double reply_ms = 0;   // from the send of the answered attempt to its reply
    std::vector<std::uint8_t> received;  // every byte heard during the last attempt
    int attempts = 0;
    int wait_ms = 0;          // how long each attempt waited at most
    double milliseconds = 0;  // from the first send to the outcome
    std::string note;         // a word on what follows from it, Chinese, may be empty
};

enum class Exit : int {
    success = 0,
    refused = 1,
    no_reply = 2,
    usage = 64,
    port_unavailable = 69,
    port_lost = 74,
    // Stopped by a signal (128 + its number), after the exchange in flight and the
    // summary.
    hangup = 129,
    interrupted = 130,
    terminated = 143,
};

struct ExitMeaning {
    Exit code;
    std::string_view meaning;
};

inline constexpr std::array<ExitMeaning, 9> kExitCodes = {{
    {Exit::success, "每项设置都成功"},
    {Exit::refused, "有设置被模块拒绝（其余成功）"},
    {Exit::no_reply, "有设置没有收到有效应答"},
    {Exit::usage, "用法或计划文件有误，什么也没有发送"},
    {Exit::port_unavailable, "串口打不开"},
    {Exit::port_lost, "串口在运行中断开，其余设置未发送"},
    {Exit::hangup, "被 SIGHUP 停止：进行中的一项完成后停下，其余未发送"},
    {Exit::interrupted, "被 Ctrl-C（SIGINT）停止：进行中的一项完成后停下，其余未发送"},
    {Exit::terminated, "被 SIGTERM 停止：进行中的一项完成后停下，其余未发送"},
}};

inline constexpr std::string_view kMismatchWarning = "回复的地址或命令与发送的不一致";

// From the outcomes alone: no reply outweighs a refusal, which outweighs success.
// A setting that was not sent means the port failed, which the runner reports itself.
inline Exit exit_for(std::span<const StepResult> results) {
    Exit code = Exit::success;
    for (const auto& result : results) {
        if (result.outcome == Outcome::no_reply || result.outcome == Outcome::not_sent) {
            return Exit::no_reply;
        }
        if (result.outcome == Outcome::refused) {
            code = Exit::refused;
        }
    }
    return code;
}

}  // namespace tarvok::cli
