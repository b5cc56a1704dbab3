// tarvokctl's own sentences in Chinese and English, in three catalogues: what a run
// says of its settings (cli_catalogue.cpp), what the tool says around them (usage,
// scans, plan files, records: tool_catalogue.cpp), and --help (help_catalogue.cpp).
// JSON, exit codes and plan-file words are machine words and live elsewhere.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "words/catalogue.h"

namespace tarvok::cli {

// A run's result lines, remarks and summary.
enum class CliWord {
    address,  // "地址 {}"
    at_line,  // "第 {} 行 · {}"
    done,     // the summary's labels, in Outcome's order
    refused,
    no_reply,
    unconfirmed,
    not_sent,
    done_in,         // "{}（{} ms）"
    refused_detail,  // "{}（应答的状态位为 0，未重发）"
    cut_stopped,
    cut_lost,
    tries,  // "{}（发送 {} 次，每次等待 {} ms"
    junk,   // "；收到 {} 字节，不是有效应答：{}"
    close,  // "）"
    unsent_stopped,
    unsent_port_lost,
    unsent_line_fault,
    unsent_busy,
    unsent_write,
    leftover,
    line_unproven,
    stopped_unproven,
    late_advice,
    echoes,  // "{} {} 次": the adapter's echoes
    moved_before,
    maybe_at,
    proven_follow,
    proven,
    later_need,
    send_later,
    lines_one,   // "  第 {} 行": the plan lines of a summary's row
    lines_many,  // likewise, for more than one
    summary,     // "汇总：共 {} 项"
    sigint,      // a signal's name, ready to stand before 停止
    sigterm,
    sighup,
    signal_other,
    stopped_after,
    stopped_at_once,
    reply_about,  // "{}（地址 {} {} · {}）": a reply's bytes and meaning
    slow,
    copies,
    retried,
    learned_separator,
    learned,
    the_run,  // whose a remark is when no setting's
    late_remark,
    labelled,  // "{}：{} · {}"
    unmatched_remark,
    discarded,
};

// Everything else tarvokctl says.
enum class ToolWord {
    prefix,  // "tarvokctl：{}"
    signal_caught,
    output_failed,
    no_ports,
    plan_faulty,
    more_faults,
    plan_encoding,
    nothing_sent,
    plan_title,
    record_failed,
    no_permission,
    cannot_write,
    scan_found,
    scan_address,  // the found table's headings
    scan_baud,
    scan_parity,
    scan_module,
    scan_late,
    scan_progress,
    unasked,
    unasked_at,
    unasked_separator,
    unasked_all,
    nothing_found,
    scan_bound,
    missing_command,  // CommandFault's, in its order
    unknown_command,
    channel_missing,
    channel_not_taken,
    only_for_scan,
    scan_arguments,
    ports_arguments,
    apply_target,
    apply_plan,
    record_not_taken,
};

// --help, in pieces around the numbers and lists the tables give.
enum class HelpWord {
    usage,   // up to the waiting, with the reply margin and 9600's deadline
    limits,  // the plan's limits and how it is checked
    values,  // every value a setting takes
    exits,   // the heading of the exit codes
};

words::Catalogue<CliWord> cli_catalogue();
words::Catalogue<ToolWord> tool_catalogue();
words::Catalogue<HelpWord> help_catalogue();

std::string_view word(CliWord id);
std::string_view word(ToolWord id);
std::string_view word(HelpWord id);

template <typename Id>
std::string say(Id id, std::initializer_list<std::string_view> args) {
    return words::fill(word(id), args);
}

// "tarvokctl：…" / "tarvokctl: …": a sentence of the tool's own on standard error.
inline std::string own(std::string_view sentence) { return say(ToolWord::prefix, {sentence}); }

}  // namespace tarvok::cli
