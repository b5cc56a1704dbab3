// The run words' catalogue: what a batch table, tarvokctl and a job record say of each
// setting's outcome, in Chinese and English. The record's outcome column keeps the
// machine words of step_result.h (done, no-reply, …) in every language.
#include <array>

#include "plan/run_words.h"

namespace tarvok::plan {

namespace {

using W = RunWord;

constexpr std::array<words::Entry<RunWord>, 37> kWords = {{
    {W::done, {"成功", "done"}},
    {W::failed, {"失败", "failed"}},
    {W::no_reply, {"无应答", "no reply"}},
    {W::unconfirmed, {"未确认", "unconfirmed"}},
    {W::not_sent, {"未发送", "not sent"}},
    {W::stopped, {"运行已停止", "the run was stopped"}},
    {W::port_lost, {"串口已断开", "the port was disconnected"}},
    {W::line_fault, {"串口出错", "the port failed"}},
    {W::line_busy,
     {"线路上一直有数据，等不到安静的时机发送：请检查是否有别的主机或设备在发送",
      "the line never went quiet, so there was no moment to send: check whether another "
      "master or device is sending"}},
    {W::write_failed, {"串口拒绝写入", "the port refused the bytes"}},
    {W::leftover,
     {"收到的回复可能是对先前同一地址、同一命令的帧迟到或重复的回复，无法证明是本项的；"
      "请查看模块状态，必要时单独再发本项",
      "the reply may be a late or second reply to an earlier frame with the same address "
      "and command, so it cannot be shown to answer this setting: look at the module, or "
      "send this setting again on its own"}},
    {W::line_unproven,
     {"模块应答了修改，但按 {} 没有应答：它可能仍按 {} 收发，也可能已改；可用扫描总线的“全部”找它",
      "the module answered the change but did not answer at {}: it may still talk at {}, or "
      "at the new line; a bus scan of every line finds it"}},
    {W::stopped_unproven,
     {"模块应答了修改，运行停止前没来得及按 {} 确认",
      "the module answered the change; the run stopped before it could be confirmed at {}"}},
    {W::refused_note,
     {"模块应答的状态位为 0，未执行，未重发",
      "the module answered with status 0: not carried out, not sent again"}},
    {W::cut_off, {"等待应答时串口断开", "the port was disconnected while waiting for the reply"}},
    {W::no_reply_note,
     {"发送 {} 次，每次等待 {} ms，没有有效应答",
      "sends: {}, waiting {} ms each, with no valid reply"}},
    {W::junk_heard, {"（收到 {} 字节，不是有效应答）", " ({} bytes came, not a valid reply)"}},
    {W::maybe_at,
     {"模块可能已经按 {} 运行（也许只是回复丢失）",
      "the module may already run at {} (perhaps only the reply was lost)"}},
    {W::proven,
     {"模块已按 {} 应答，此后按它与地址 {} 通讯",
      "the module answered at {}; address {} is talked to at it from now on"}},
    {W::moved_before,
     {"地址 {} 已改为 {}，本项仍按 {} 发送",
      "address {} was moved to {}; this setting still went out at {}"}},
    {W::late_note, {"{}，期限 {} ms", "{}, the deadline was {} ms"}},
    {W::duplicates, {"{}（{} 个）", "{} ({} of them)"}},
    {W::busy_reply,
     {"线路上一直有数据，无法判断应答：请检查是否有别的主机或设备在发送",
      "the line never went quiet, so the reply could not be judged: check whether another "
      "master or device is sending"}},
    {W::late_remark,
     {"{}{}，此时已另有发送，不计入", "{}{}, after something else was sent: it does not count"}},
    {W::unmatched_remark,
     {"收到不属于本项的回复{}，{}，不计入",
      "a reply that is not this setting's came{}: it {}, so it does not count"}},
    {W::note_separator, {"；", "; "}},
    {W::job, {"{} 至 {} · 串口 {}（{}）· {}", "{} to {} · port {} ({}) · {}"}},
    {W::record_title, {"批量配置记录", "Batch settings record"}},
    {W::record_started, {"开始", "started"}},
    {W::record_ended, {"结束", "ended"}},
    {W::record_port, {"串口号", "port"}},
    {W::record_device, {"设备", "device"}},
    {W::record_line, {"线路", "line"}},
    {W::record_summary, {"汇总", "summary"}},
    {W::record_tally, {"共 {} 项：{}", "{} settings: {}"}},
    {W::tally_separator, {"，", ", "}},
    // The outcome column is --json's outcome, and named so.
    {W::record_columns,
     {"行,地址,设置,通道,值,线路,备注,结果,结果代码,应答毫秒,发送次数,发送线路,时间,说明",
      "row,address,setting,channel,value,line,note,result,outcome,reply ms,attempts,line used,"
      "time,details"}},
}};
static_assert(words::in_id_order(kWords) && kWords.back().id == W::record_columns,
              "one entry per id, in id order");

}  // namespace

words::Catalogue<RunWord> run_catalogue() { return kWords; }

std::string_view word(RunWord id) { return words::pick(words::text_of(kWords, id)); }

}  // namespace tarvok::plan
