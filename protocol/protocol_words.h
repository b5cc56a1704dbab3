// The words of frames, replies and the lines they travel on, in Chinese and English
// under ids: every sentence protocol/ makes is one of these, filled with its numbers
// and the tables' words. The bus engine, the traffic window and tarvokctl all take
// them from here, so they say the same in either language.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "protocol/tables.h"
#include "words/catalogue.h"

namespace tarvok::protocol {

enum class ProtocolWord {
    channel,          // "第{}路": a channel as the window's list shows it
    all,              // "全部": the list's entry for every channel
    all_channels,     // "全部通道": every channel in a request's words
    list_separator,   // "、" between the entries of a list
    with_params,      // "{} 参数 {}": a command and its raw parameter bytes
    unknown_code,     // "未知命令 0x{}"
    start_byte_not,   // "起始字节不是 {}"
    checksum_wrong,   // "校验和错误（应为 {}）"
    unknown_command,  // "未知命令"
    out_of_range,     // "参数超出范围"
    success,
    failure,
    sent,        // a traffic line's direction
    received,    // likewise
    at_address,  // "地址 {} {}": a sent frame's meaning
    late,        // "迟到的回复（{} ms）"
    echo,
    garbled_echo,
    duplicate,
    busy_line,
    unmatched,
    mismatch,
    found_again,  // a module that answered at two lines in one scan
};

// Every entry, in id order, for a check that none lacks a language.
words::Catalogue<ProtocolWord> protocol_catalogue();

std::string_view word(ProtocolWord id);
std::string_view word(ProtocolWord id, words::Language language);

// What the bus engine and the traffic window call what they meet on a line.
// The adapter handing back the frame it just sent.
std::string_view echo_words();
// A frame with the command start byte that is not what was sent.
std::string_view garbled_echo_words();
// A second valid reply to one command.
std::string_view duplicate_words();
// A line that never went quiet long enough to judge a reply.
std::string_view busy_words();
// A valid reply that answers no frame in flight.
std::string_view unmatched_words();
// A reply that does not repeat the address and command sent (taken with --lenient).
std::string_view mismatch_words();

// The words a table's values may be written as, for help and error texts: in Chinese
// "不关联/none、自锁/self-lock、…", the names and their aliases; in English
// "none, self-lock, …", the aliases (the names are taken too, but mean nothing to a
// reader of English).
template <typename Value, std::size_t N>
std::string choices(const std::array<Named<Value>, N>& table) {
    const bool english = words::language() == words::Language::english;
    std::string text;
    for (const auto& entry : table) {
        text += text.empty() ? "" : word(ProtocolWord::list_separator);
        text += english ? std::string(entry.alias)
                        : std::string(entry.name) + "/" + std::string(entry.alias);
    }
    return text;
}

}  // namespace tarvok::protocol
