// The traffic record's catalogue: what 通讯记录 says of each event and of itself, in
// Chinese and English. The frames' own words are protocol/'s.
#include <array>

#include "bus/traffic_words.h"

namespace tarvok::bus {

namespace {

using W = TrafficWord;

constexpr std::array<words::Entry<TrafficWord>, 26> kWords = {{
    {W::bytes, {"{} 字节", "{} bytes"}},
    {W::one_byte, {"1 字节", "1 byte"}},
    {W::dropped, {"丢弃", "dropped"}},
    {W::junk_line, {"{} {}: {}", "{} {}: {}"}},
    {W::busy_at, {"地址 {}：{}", "address {}: {}"}},
    {W::no_reply_at,
     {"地址 {} 在 {} ms 内没有有效回复，请检查模块地址、波特率和校验位、接线",
      "address {} gave no valid reply within {} ms; check the module address, the baud rate "
      "and parity, and the wiring"}},
    {W::answering, {"{}，对应 {}", "{}, answering {}"}},
    {W::no_reply, {"无应答", "no reply"}},
    {W::line, {"线路", "line"}},
    {W::port, {"串口", "port"}},
    {W::opened, {"串口 {} 已打开（{}，{}）", "port {} opened ({}, {})"}},
    {W::lost, {"串口 {}（{}）已断开", "port {} ({}) went away"}},
    {W::closed, {"串口 {} 已关闭", "port {} closed"}},
    {W::began,
     {"记录开始于 {}（以下时间从此刻算起）",
      "Record began at {} (the times below count from then)"}},
    {W::title, {"通讯记录", "Traffic log"}},
    {W::clear, {"清空", "Clear"}},
    {W::save, {"保存…", "Save…"}},
    {W::dropped_note,
     {"较早的 {} 条记录已丢弃，只保留最近 {} 条。",
      "The oldest {} lines were dropped; only the latest {} are kept."}},
    {W::save_title, {"保存通讯记录", "Save the traffic log"}},
    {W::file_name, {"通讯记录.txt", "traffic-log.txt"}},
    {W::text_files, {"文本", "Text"}},
    {W::csv_began, {"记录开始,{}", "record began,{}"}},
    {W::csv_header, {"毫秒,类型,字节,说明", "ms,kind,bytes,meaning"}},
    {W::no_permission, {"没有写入权限", "no permission to write"}},
    {W::cannot_write, {"无法写入", "cannot write"}},
    {W::not_saved,
     {"通讯记录没有保存到 {}：{}，请换一个位置再试。",
      "The traffic log was not saved to {}: {}. Try another place."}},
}};
static_assert(words::in_id_order(kWords) && kWords.back().id == W::not_saved,
              "one entry per id, in id order");

}  // namespace

words::Catalogue<TrafficWord> traffic_catalogue() { return kWords; }

std::string_view word(TrafficWord id) { return words::pick(words::text_of(kWords, id)); }

}  // namespace tarvok::bus
