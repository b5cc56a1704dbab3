// What tarvokctl says of a run's settings, in Chinese and English: result lines,
// remarks on the line and the summary. Option names, aliases and commands quoted in
// them are the same in both.
#include <array>

#include "cli/cli_words.h"

namespace tarvok::cli {

namespace {

using W = CliWord;

constexpr std::array<words::Entry<CliWord>, 50> kWords = {{
    {W::address, {"地址 {}", "address {}"}},
    {W::at_line, {"第 {} 行 · {}", "line {} · {}"}},
    {W::done, {"成功", "done"}},
    {W::refused, {"模块拒绝", "refused"}},
    {W::no_reply, {"无应答", "no reply"}},
    {W::unconfirmed, {"未确认", "unconfirmed"}},
    {W::not_sent, {"未发送", "not sent"}},
    {W::done_in, {"{}（{} ms）", "{} ({} ms)"}},
    {W::refused_detail,
     {"{}（应答的状态位为 0，未重发）", "{} (the module answered with status 0; not sent again)"}},
    {W::cut_stopped,
     {"{} · 等待应答时运行被立即停止",
      "{} · the run was stopped at once while waiting for the reply"}},
    {W::cut_lost,
     {"{} · 等待应答时串口断开", "{} · the port was disconnected while waiting for the reply"}},
    {W::tries, {"{}（发送 {} 次，每次等待 {} ms", "{} (sends: {}, waiting {} ms each"}},
    {W::junk,
     {"；收到 {} 字节，不是有效应答：{}", "; {} bytes came that are not a valid reply: {}"}},
    {W::close, {"）", ")"}},
    {W::unsent_stopped, {"（运行已停止）", " (the run was stopped)"}},
    {W::unsent_port_lost, {"（串口已断开）", " (the port was disconnected)"}},
    {W::unsent_line_fault, {"（串口出错）", " (the port failed)"}},
    {W::unsent_busy, {"（{}，等不到安静的时机发送）", " ({}, so no quiet moment came to send it)"}},
    {W::unsent_write, {"（串口拒绝写入）", " (the port refused the bytes)"}},
    {W::leftover,
     {"（收到的回复可能是对先前同一地址、同一命令的帧迟到或重复的回复，无法证明是本项的；"
      "请查看模块状态，必要时单独再发本项）",
      " (the reply may be a late or second reply to an earlier frame with the same address "
      "and command, so it cannot be shown to answer this setting: look at the module, or "
      "send this setting again on its own)"}},
    {W::line_unproven,
     {"（模块应答了修改，但按 {} 没有应答：它可能仍按 {} 收发，也可能已改；用 tarvokctl scan "
      "--baud all --parity all --addresses {} 找它）",
      " (the module answered the change but did not answer at {}: it may still talk at {}, "
      "or at the new line; find it with tarvokctl scan --baud all --parity all --addresses "
      "{})"}},
    {W::stopped_unproven,
     {"（模块应答了修改，运行停止前没来得及按 {} 确认）",
      " (the module answered the change; the run stopped before it could be confirmed at "
      "{})"}},
    {W::late_advice,
     {"{}，期限 {} ms：可加大 --timeout，例如 --timeout {}",
      "{}, the deadline was {} ms: give a longer --timeout, for example --timeout {}"}},
    {W::echoes, {"{} {} 次", "{}: {}"}},
    {W::moved_before,
     {"地址 {} 已改为 {}，本项仍按 {} 发送",
      "address {} was moved to {}; this setting still went out at {}"}},
    {W::maybe_at,
     {"模块可能已经按 {} 运行（也许只是回复丢失）：用 {} 再发一次任意设置即可确认",
      "the module may already run at {} (perhaps only the reply was lost): send any setting "
      "again with {} to find out"}},
    {W::proven_follow,
     {"模块已按 {} 应答，此后按它与地址 {} 通讯",
      "the module answered at {}; address {} is talked to at it from now on"}},
    {W::proven,
     {"模块已按 {} 应答，此后按它收发；{}",
      "the module answered at {} and talks at it from now on; {}"}},
    {W::later_need,
     {"之后发给地址 {} 的设置需要新的波特率：加 --follow，或另用 {}",
      "later settings for address {} need the new line: add --follow, or send them with {}"}},
    {W::send_later, {"以后发给它的设置请用 {}", "send it later settings with {}"}},
    {W::lines_one, {"  第 {} 行", "  line {}"}},
    {W::lines_many, {"  第 {} 行", "  lines {}"}},
    {W::summary, {"汇总：共 {} 项", "Summary: {} settings"}},
    // Chinese puts a blank between a name in Latin letters and 停止, none after "）".
    {W::sigint, {"Ctrl-C（SIGINT）", "Ctrl-C (SIGINT)"}},
    {W::sigterm, {"SIGTERM ", "SIGTERM"}},
    {W::sighup, {"SIGHUP ", "SIGHUP"}},
    {W::signal_other, {"信号 {} ", "signal {}"}},
    {W::stopped_after,
     {"已被 {}停止：进行中的一项结束后没有再发送任何帧",
      "Stopped by {}: no frame was sent after the setting in flight"}},
    {W::stopped_at_once,
     {"已被 {}停止，再次收到信号后立即结束，进行中的一项没有等到回复",
      "Stopped by {}, then ended at once by a second signal: the setting in flight got no "
      "reply"}},
    {W::reply_about, {"{}（地址 {} {} · {}）", "{} (address {} {} · {})"}},
    {W::slow,
     {"回复较慢（最慢 {} ms），此后等它应答最多 {} ms",
      "replies slowly (slowest {} ms): its replies are awaited up to {} ms from now on"}},
    {W::copies,
     {"同一帧回复了两次（相隔 {} ms，可能有两个模块使用同一地址），此后它的第二个回复过去之前，"
      "不再向它发同一命令",
      "answered one frame twice ({} ms apart; two modules may share the address): it gets "
      "the same command again only after its second reply has passed"}},
    {W::retried,
     {"重发后才应答，此后另一次发送的回复过去之前不再向它发送",
      "answered only after a retry: nothing goes to it until the other attempt's reply has "
      "passed"}},
    {W::learned_separator, {"；", "; "}},
    {W::learned,
     {"注意：地址 {} {}，以免把它迟到或多余的回复算到别的设置上",
      "Note: address {} {}; so none of its late or extra replies counts for another "
      "setting"}},
    {W::the_run, {"运行", "the run"}},
    {W::late_remark,
     {"{} {} · 对{}，此时已另有发送，不计入任何一项",
      "{} {} · for {}, after something else was sent: it counts for no setting"}},
    {W::labelled, {"{}：{} · {}", "{}: {} · {}"}},
    {W::unmatched_remark,
     {"收到不属于{}的回复 {}，{}，不计入",
      "a reply that is not for {} came, {}: it {}, so it does not count"}},
    {W::discarded,
     {"发送前线路上已有 {} 字节，已丢弃：{}",
      "{} bytes were on the line before sending and were dropped: {}"}},
}};
static_assert(words::in_id_order(kWords) && kWords.back().id == W::discarded,
              "one entry per id, in id order");

}  // namespace

words::Catalogue<CliWord> cli_catalogue() { return kWords; }

std::string_view word(CliWord id) { return words::pick(words::text_of(kWords, id)); }

}  // namespace tarvok::cli
