// tarvok-sim's sentences in Chinese and English: its log, its errors and --help
// (sim_catalogue.cpp). The first line, "tarvok-sim port N DEVICE", is for programs and
// never changes with the language.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "words/catalogue.h"

namespace tarvok::sim {

enum class SimWord {
    ready,  // "模拟模块已就绪：端口 {} → {}（{}）"
    replaced_link,
    always_fail,
    echo,
    faults,  // the heading of the fault labels
    fault_separator,
    paced,
    stopped,
    no_home,
    no_signal_pipe,
    applied,  // a frame's result, in Outcome's order
    refused,
    failed_on_purpose,
    wrong_rate,
    wrong_parity,
    other_address,
    frame_line,  // "地址 {} · {} → {}"
    state_module,
    state_channel,
    group,  // "地址 {}，{}": a group of modules and its line
    group_separator,
    try_stop,
    try_port,
    cannot_create,
    link_in_use,
    cannot_write,
    cannot_lock,
    not_symlink,
    manual_link,
    cannot_mkdir,
    cannot_link,
    all_taken,
    no_pty,
    no_pty_name,
    failed_call,  // "错误：{} 失败：{}"
    write_pty,
    read_pty,
    stalled,
    parity_now,
    baud_now,
    typing_hint,
    lines_dropped,
    no_reply,  // the reply faults' labels
    delay,
    garbage,
    split,
    corrupt,
    trickle,
    twice,
    lost,
    drop,
    help,  // --help, around the list of baud rates
};

words::Catalogue<SimWord> sim_catalogue();
std::string_view word(SimWord id);

inline std::string say(SimWord id, std::initializer_list<std::string_view> args) {
    return words::fill(word(id), args);
}

}  // namespace tarvok::sim
