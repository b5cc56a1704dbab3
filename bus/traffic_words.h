// The traffic record in words, in the process's language: each event's line as the
// traffic window shows it, the record's first line, the window's own words, and a saved
// copy as text or CSV. Every front end takes them from here, so 通讯记录 reads the same on
// Debian and on Windows.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "bus/traffic.h"
#include "words/catalogue.h"

namespace tarvok::bus {

// An event in words: the columns of a saved log, and the text of its line.
struct TrafficWords {
    std::int64_t ms = 0;
    std::string kind;  // 发送, 接收, 丢弃, 无应答, 串口
    std::string hex;
    std::string meaning;
    std::string text;  // "发送 55 05 44 00 00 01 03 A2 · 地址 5 第3路 关联方式 自锁"
};

TrafficWords traffic_words(const TrafficEvent& event);
// The text after the time: "     1,234 ms  发送 55 05 …".
std::string traffic_line(const TrafficWords& words);
// 531464730 as "531,464,730", whatever the locale: every copy of a record reads alike.
std::string grouped(std::int64_t number);
// "2026-12-07 14:03:05", local time, as every time a person keeps is written
// (plan::kTimePattern).
std::string stamp_text(std::chrono::system_clock::time_point time);
// "记录开始于 2026-12-07 14:03:05（以下时间从此刻算起）": a record's first line.
std::string began_words(std::string_view stamp);
// "较早的 1 条记录已丢弃，只保留最近 10,000 条。"; empty when none was dropped.
std::string dropped_words(std::int64_t dropped);
// The record as a file holds it: its lines under the first, or CSV with a byte order
// mark; `stamp` is when it began.
std::string saved_traffic(const std::deque<TrafficEvent>& events, std::string_view stamp, bool csv);
// Whether a file of that name is saved as CSV.
bool saved_as_csv(std::string_view name);

// The catalogue's ids: the record's words and its window's.
enum class TrafficWord {
    bytes,      // "{} 字节"
    one_byte,   // "1 字节"
    dropped,    // a junk line's kind: "丢弃"
    junk_line,  // "{} {}: {}": kind, count, bytes
    busy_at,    // "地址 {}：{}"
    no_reply_at,
    answering,  // "{}，对应 {}": a late reply and the frame it answers
    no_reply,   // kinds of line
    line,
    port,
    opened,
    lost,
    closed,
    began,
    title,  // the window's
    clear,
    save,
    dropped_note,
    save_title,
    file_name,
    text_files,
    csv_began,
    csv_header,
    no_permission,
    cannot_write,
    not_saved,
};

words::Catalogue<TrafficWord> traffic_catalogue();
std::string_view word(TrafficWord id);

}  // namespace tarvok::bus
