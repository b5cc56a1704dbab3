// tarvokctl's exit codes: what a script acts on, the same in every language.
#pragma once

#include <array>
#include <span>

#include "plan/step_result.h"
#include "words/catalogue.h"

namespace tarvok::cli {

enum class Exit : int {
    success = 0,
    refused = 1,
    no_reply = 2,
    unconfirmed = 3,
    usage = 64,
    port_unavailable = 69,
    port_lost = 74,  // also: the line or the output failed while running
    // Stopped by a signal (128 + its number), after the exchange in flight and the
    // summary.
    hangup = 129,
    interrupted = 130,
    terminated = 143,
};

// What each code means, for --help, in Chinese and English; the codes themselves are
// the same in every language.
inline constexpr std::array<words::Entry<Exit>, 10> kExitCodes = {{
    {Exit::success, {"每项设置都成功", "every setting succeeded"}},
    {Exit::refused,
     {"有设置被模块拒绝（其余成功）", "a setting was refused by its module (the rest succeeded)"}},
    {Exit::no_reply,
     {"有设置没有收到有效应答（优先于 3 和 1）",
      "a setting got no valid reply, or was not sent (this outweighs 3 and 1)"}},
    {Exit::unconfirmed,
     {"有设置未确认：收到的回复无法证明是对它的，或模块在新线路上没有应答（优先于 1）",
      "a setting is unconfirmed: its reply cannot be shown to answer it, or the module did "
      "not answer at its new line (this outweighs 1)"}},
    {Exit::usage,
     {"用法或计划文件有误，什么也没有发送", "wrong command line or plan file; nothing was sent"}},
    {Exit::port_unavailable, {"串口打不开", "the port could not be opened"}},
    {Exit::port_lost,
     {"串口、线路或输出在运行中出错，其余设置未发送",
      "the port, the line or the output failed while running; the rest was not sent"}},
    {Exit::hangup,
     {"被 SIGHUP 停止：进行中的一项结束后停下，其余未发送",
      "stopped by SIGHUP after the setting in flight; the rest was not sent"}},
    {Exit::interrupted,
     {"被 Ctrl-C（SIGINT）停止：进行中的一项结束后停下，其余未发送",
      "stopped by Ctrl-C (SIGINT) after the setting in flight; the rest was not sent"}},
    {Exit::terminated,
     {"被 SIGTERM 停止：进行中的一项结束后停下，其余未发送",
      "stopped by SIGTERM after the setting in flight; the rest was not sent"}},
}};

// The stop signals by their POSIX numbers, which a Windows console's Ctrl-C takes as
// SIGINT's (Windows' <csignal> has no SIGHUP).
inline constexpr int kSigHup = 1;
inline constexpr int kSigInt = 2;
inline constexpr int kSigTerm = 15;

// 128 plus the signal's number, as a shell reports a program killed by it.
inline Exit exit_for_signal(int signo) {
    switch (signo) {
    case kSigHup:
        return Exit::hangup;
    case kSigTerm:
        return Exit::terminated;
    default:
        return Exit::interrupted;
    }
}

// From the outcomes alone: no reply (or a setting left unsent) outweighs an
// unconfirmed one, which outweighs a refusal, which outweighs success.
inline Exit exit_for(std::span<const plan::StepResult> results) {
    const plan::Tally t = plan::tally(results);
    if (t.of(plan::Outcome::no_reply) + t.of(plan::Outcome::not_sent) > 0) {
        return Exit::no_reply;
    }
    if (t.of(plan::Outcome::unconfirmed) > 0) {
        return Exit::unconfirmed;
    }
    return t.of(plan::Outcome::refused) > 0 ? Exit::refused : Exit::success;
}

}  // namespace tarvok::cli
