// A run's results in the words a table and a job record show, in the process's
// language: one word per outcome, the reply's delay, and a note on what else the row's
// exchange met. The window's 批量配置 shows them, and both it and tarvokctl --record
// write them.
#pragma once

#include <string>
#include <string_view>

#include "plan/step_result.h"
#include "words/catalogue.h"

namespace tarvok::plan {

// "成功", "失败" (the module refused, as the main window's 修改失败), "无应答",
// "未确认", "未发送"; "done", "failed", "no reply", "unconfirmed", "not sent".
std::string_view outcome_word(Outcome outcome);

// "19200 偶校验": a line as a plan file's 线路 cell takes it, the same in every
// language. Words to read say protocol::line_words().
std::string line_text(const protocol::LineSetting& line);

// The reply's delay from its send, "4.2"; empty when no reply counted.
std::string reply_ms_text(const StepResult& result);

// What else a reader of the row needs: why it failed or was not sent, a late or
// duplicate reply, a line change proven or in doubt. Empty when there is nothing.
std::string result_note(const StepResult& result);

// A remark about a row's exchange met after its result: "迟到的回复（240 ms），…".
// Empty for remarks that belong to no row (bytes before a frame, what was learnt).
std::string remark_note(const Remark& remark);

// The catalogue's ids: the run words above and the job record's (job_record.h).
enum class RunWord {
    done,  // the outcomes, in Outcome's order
    failed,
    no_reply,
    unconfirmed,
    not_sent,
    stopped,  // why a setting was not sent, in Unsent's order
    port_lost,
    line_fault,
    line_busy,
    write_failed,
    leftover,  // why a reply does not confirm its setting
    line_unproven,
    stopped_unproven,
    refused_note,
    cut_off,
    no_reply_note,  // "发送 {} 次，每次等待 {} ms，没有有效应答"
    junk_heard,     // "（收到 {} 字节，不是有效应答）"
    maybe_at,
    proven,
    moved_before,  // a setting sent at the run's line to a module moved earlier
    late_note,     // "{}，期限 {} ms"
    duplicates,    // "{}（{} 个）"
    busy_reply,
    late_remark,
    unmatched_remark,
    note_separator,  // "；" between the parts of a note
    job,             // "{} 至 {} · 串口 {}（{}）· {}"
    record_title,
    record_started,
    record_ended,
    record_port,
    record_device,
    record_line,
    record_summary,  // the key
    record_tally,    // "共 {} 项：{}"
    tally_separator,
    record_columns,
};

// Every entry, in id order, for a check that none lacks a language.
words::Catalogue<RunWord> run_catalogue();
// An entry in the process's language.
std::string_view word(RunWord id);

}  // namespace tarvok::plan
